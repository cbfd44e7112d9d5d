#include "platform/Archive.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "platform/TextCodec.h"

namespace {

constexpr std::uint16_t kNullTag = 0;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr std::uint32_t kMaxMapCount = 0x3FFFFFFEu;

std::string Hex(std::uint32_t v)
{
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 0xF]);
        v >>= 4;
    } while (v);
    while (s.size() < 4)
        s.insert(s.begin(), '0');
    return "0x" + s;
}

// A name read from the file, shown in a message: bytes outside printable ASCII become \xNN, so a
// foreign or damaged name cannot make the message invalid UTF-8 (which the GUI shows as empty);
// a long one is cut.
std::string Printable(std::string_view name)
{
    static const char* digits = "0123456789ABCDEF";
    constexpr std::size_t kShown = 64;
    std::string s;
    for (char ch : name.substr(0, kShown)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            s += ch;
        } else {
            s += "\\x";
            s += digits[c >> 4];
            s += digits[c & 0xF];
        }
    }
    if (name.size() > kShown)
        s += "...";
    return s;
}

}  // namespace

CArchiveError::CArchiveError(std::size_t offset, const std::string& message)
    : std::runtime_error(message + " (at offset " + std::to_string(offset) + ")")
{
}

CArchive::CArchive() : m_storing(true) {}

CArchive::CArchive(std::span<const std::uint8_t> bytes, const CClassRegistry& registry)
    : m_storing(false), m_in(bytes), m_registry(&registry)
{
    m_loadTable.push_back({EntryKind::Null, nullptr, nullptr});
}

CArchive::~CArchive() = default;

void CArchive::Fail(const std::string& message) const
{
    throw CArchiveError(GetPosition(), message);
}

void CArchive::Need(std::size_t bytes, const char* what)
{
    if (Remaining() < bytes)
        Fail(std::string("the file ends inside ") + what + ": " + std::to_string(bytes) +
             " bytes needed, " + std::to_string(Remaining()) + " left");
}

void CArchive::WriteUInt8(std::uint8_t v)
{
    m_out.push_back(v);
}

void CArchive::WriteUInt16(std::uint16_t v)
{
    m_out.push_back(static_cast<std::uint8_t>(v));
    m_out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void CArchive::WriteUInt32(std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        m_out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void CArchive::WriteDouble(double v)
{
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        m_out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

std::uint8_t CArchive::ReadUInt8()
{
    Need(1, "a byte");
    return m_in[m_pos++];
}

std::uint16_t CArchive::ReadUInt16()
{
    Need(2, "a 16-bit value");
    const std::uint16_t v = static_cast<std::uint16_t>(m_in[m_pos] | (m_in[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

std::uint32_t CArchive::ReadUInt32()
{
    Need(4, "a 32-bit value");
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(m_in[m_pos + i]) << (8 * i);
    m_pos += 4;
    return v;
}

double CArchive::ReadDouble()
{
    Need(8, "a double");
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(m_in[m_pos + i]) << (8 * i);
    m_pos += 8;
    const double v = std::bit_cast<double>(bits);
    if (!std::isfinite(v))
        ++m_nonFinite;
    return v;
}

void CArchive::WriteString(const std::string& text)
{
    auto writeLength = [this](std::size_t length) {
        if (length < 0xFF) {
            WriteUInt8(static_cast<std::uint8_t>(length));
        } else {
            WriteUInt8(0xFF);
            if (length < 0xFFFE) {
                WriteUInt16(static_cast<std::uint16_t>(length));
            } else {
                WriteUInt16(0xFFFF);
                WriteUInt32(static_cast<std::uint32_t>(length));
            }
        }
    };
    if (auto bytes = korvane::Utf8ToCp1252(text)) {
        writeLength(bytes->size());
        m_out.insert(m_out.end(), bytes->begin(), bytes->end());
        return;
    }
    const std::u16string units = korvane::Utf8ToUtf16(text);
    WriteUInt8(0xFF);
    WriteUInt16(0xFFFE);
    writeLength(units.size());
    for (char16_t u : units)
        WriteUInt16(static_cast<std::uint16_t>(u));
}

std::string CArchive::ReadString()
{
    const std::size_t start = m_pos;
    bool wide = false;
    std::uint64_t length = ReadUInt8();
    if (length == 0xFF) {
        std::uint16_t w = ReadUInt16();
        if (w == 0xFFFE) {
            wide = true;
            length = ReadUInt8();
            if (length == 0xFF)
                w = ReadUInt16();
        }
        if (length == 0xFF) {
            length = w;
            if (w == 0xFFFF) {
                length = ReadUInt32();
                if (length == 0xFFFFFFFFu)
                    Fail("a string length of 0xFFFFFFFF (64-bit lengths are not supported)");
            }
        }
    }
    const std::uint64_t bytes = length * (wide ? 2 : 1);
    if (bytes > Remaining())
        throw CArchiveError(start, "a string of " + std::to_string(length) + " characters, but only " +
                                       std::to_string(Remaining()) + " bytes are left");
    std::string result;
    if (wide) {
        std::u16string units(static_cast<std::size_t>(length), u'\0');
        for (auto& u : units)
            u = static_cast<char16_t>(ReadUInt16());
        result = korvane::Utf16ToUtf8(units);
    } else {
        result = korvane::Cp1252ToUtf8(std::string_view(
            reinterpret_cast<const char*>(m_in.data() + m_pos), static_cast<std::size_t>(length)));
        m_pos += static_cast<std::size_t>(length);
    }
    return result;
}

void CArchive::WriteCount(std::uint32_t count)
{
    if (count < 0xFFFF) {
        WriteUInt16(static_cast<std::uint16_t>(count));
    } else {
        WriteUInt16(0xFFFF);
        WriteUInt32(count);
    }
}

std::uint32_t CArchive::ReadCount(std::size_t minBytesPerElement)
{
    const std::size_t start = m_pos;
    std::uint32_t count = ReadUInt16();
    if (count == 0xFFFF)
        count = ReadUInt32();
    if (static_cast<std::uint64_t>(count) * minBytesPerElement > Remaining())
        throw CArchiveError(start, "a count of " + std::to_string(count) + " elements, but only " +
                                       std::to_string(Remaining()) + " bytes are left");
    return count;
}

void CArchive::WriteTag(std::uint32_t index, bool isClass)
{
    if (index < kBigObjectTag) {
        WriteUInt16(static_cast<std::uint16_t>(isClass ? (kClassTag | index) : index));
    } else {
        WriteUInt16(kBigObjectTag);
        WriteUInt32(isClass ? (kBigClassTag | index) : index);
    }
}

void CArchive::WriteObject(const CSerializable* object)
{
    if (object == nullptr) {
        WriteUInt16(kNullTag);
        return;
    }
    if (auto it = m_storeMap.find(object); it != m_storeMap.end()) {
        WriteTag(it->second, false);
        return;
    }
    WriteClassOf(*object);
    m_storeMap[object] = m_mapCount++;
    // Serialize only reads fields when storing; the archive never changes the object.
    const_cast<CSerializable*>(object)->Serialize(*this);
}

void CArchive::WriteTransientObject(const CSerializable& object)
{
    WriteClassOf(object);
    ++m_mapCount;
    const_cast<CSerializable&>(object).Serialize(*this);
}

void CArchive::WriteClassOf(const CSerializable& object)
{
    const CClassInfo& cls = object.GetRuntimeClass();
    if (auto it = m_storeMap.find(&cls); it != m_storeMap.end()) {
        WriteTag(it->second, true);
        return;
    }
    WriteUInt16(kNewClassTag);
    WriteUInt16(cls.schema);
    WriteUInt16(static_cast<std::uint16_t>(cls.name.size()));
    m_out.insert(m_out.end(), cls.name.begin(), cls.name.end());
    m_storeMap[&cls] = m_mapCount++;
}

CArchive::LoadedObject CArchive::ReadObject(const CClassInfo& expected)
{
    const std::size_t start = m_pos;
    const std::uint16_t tag = ReadUInt16();
    std::uint32_t obTag;
    if (tag == kBigObjectTag)
        obTag = ReadUInt32();
    else
        obTag = (static_cast<std::uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag & 0xFFFF);

    const std::size_t known = m_loadTable.size() - 1;
    if (!(obTag & kBigClassTag)) {
        // A reference to an object stored earlier, or the null pointer.
        if (obTag > known)
            throw CArchiveError(start, "object tag " + Hex(obTag) + " refers to entry " + std::to_string(obTag) +
                                           ", but only " + std::to_string(known) + " are known");
        const Entry& entry = m_loadTable[obTag];
        if (entry.kind == EntryKind::Class)
            throw CArchiveError(start, "object tag " + Hex(obTag) + " refers to the class " + entry.cls->name +
                                           ", not to an object");
        if (entry.kind == EntryKind::Object && entry.cls->name != expected.name)
            throw CArchiveError(start, "a " + entry.cls->name + " object where a " + expected.name +
                                           " was expected");
        return {entry.object, false};
    }

    const CClassInfo* cls = nullptr;
    if (tag == kNewClassTag) {
        if (m_loadTable.size() >= kMaxMapCount)
            throw CArchiveError(start, "too many classes and objects");
        const std::uint16_t schema = ReadUInt16();
        const std::uint16_t nameLength = ReadUInt16();
        Need(nameLength, "a class name");
        std::string name(reinterpret_cast<const char*>(m_in.data() + m_pos), nameLength);
        m_pos += nameLength;
        cls = m_registry->Find(name);
        if (cls == nullptr)
            throw CArchiveError(start, "unknown class \"" + Printable(name) + "\"");
        if (schema != cls->schema)
            throw CArchiveError(start, "class " + name + " with schema " + std::to_string(schema) +
                                           ", but only schema " + std::to_string(cls->schema) + " is known");
        m_loadTable.push_back({EntryKind::Class, cls, nullptr});
    } else {
        const std::uint32_t index = obTag & ~kBigClassTag;
        if (index == 0 || index > known)
            throw CArchiveError(start, "class tag " + Hex(tag == kBigObjectTag ? obTag : tag) + " refers to entry " +
                                           std::to_string(index) + ", but only " + std::to_string(known) +
                                           " are known");
        const Entry& entry = m_loadTable[index];
        if (entry.kind != EntryKind::Class)
            throw CArchiveError(start, "class tag " + Hex(tag == kBigObjectTag ? obTag : tag) + " refers to entry " +
                                           std::to_string(index) + ", which is an object, not a class");
        cls = entry.cls;
    }
    if (cls->name != expected.name)
        throw CArchiveError(start, "a " + cls->name + " object where a " + expected.name + " was expected");
    if (m_loadTable.size() >= kMaxMapCount)
        throw CArchiveError(start, "too many classes and objects");

    std::unique_ptr<CSerializable> created = cls->create();
    CSerializable* object = created.get();
    m_owned.emplace(object, std::move(created));
    m_loadTable.push_back({EntryKind::Object, cls, object});
    object->Serialize(*this);
    return {object, true};
}

std::unique_ptr<CSerializable> CArchive::TakeOwnership(CSerializable* object, std::size_t offset)
{
    auto it = m_owned.find(object);
    if (it == m_owned.end())
        throw CArchiveError(offset, "an object stored once is referenced a second time");
    std::unique_ptr<CSerializable> owned = std::move(it->second);
    m_owned.erase(it);
    return owned;
}
