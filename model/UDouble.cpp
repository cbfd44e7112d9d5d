#include "model/UDouble.h"

#include <algorithm>

#include "platform/Archive.h"

KORVANE_IMPLEMENT_SERIAL(CUDouble, 1)

void CUDouble::Serialize(CArchive& ar)
{
    ar.Io(m_value);
}

void SerializeValueArray(CArchive& ar, std::vector<double>& values)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<std::uint32_t>(values.size()));
        for (double v : values)
            ar.WriteTransientObject(CUDouble(v));
        return;
    }
    // Every element takes at least a 16-bit tag.
    const std::uint32_t count = ar.ReadCount(2);
    values.clear();
    values.reserve(std::min<std::uint32_t>(count, 4096));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t offset = ar.GetPosition();
        const auto loaded = ar.ReadObject(CUDouble::ClassInfo());
        if (loaded.object == nullptr)
            throw CArchiveError(offset, "a null entry in a list of values");
        values.push_back(static_cast<CUDouble*>(loaded.object)->GetValue());
    }
}
