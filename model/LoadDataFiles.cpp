#include "model/LoadDataFiles.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "model/KorvaneDoc.h"
#include "platform/Files.h"
#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"

namespace {

// How the messages name each file, and the class word of the count message (none for the interval
// data itself).
struct DataFileWords {
    const char* what;
    const char* classWord;
};
constexpr LoadClassArray<DataFileWords> kWords = {{
    {"interval data", nullptr},
    {"Agricultural class clustered data", "agricultural"},
    {"Industrial class clustered data", "industrial"},
    {"Residential class clustered data", "residential"},
    {"other class clustered data", "other"},
}};

// At most 40 characters of a line for a message: bytes that are not UTF-8 text and control
// characters (a file saved as UTF-16 is full of NULs) show as U+FFFD, so the message stays text.
std::string Excerpt(std::string_view line)
{
    constexpr std::size_t shown = 40;
    std::u16string units = korvane::Utf8ToUtf16(line);
    for (char16_t& u : units)
        if (u < 0x20 || u == 0x7F)
            u = 0xFFFD;
    if (units.size() <= shown)
        return korvane::Utf16ToUtf8(units);
    std::size_t cut = shown;
    if (units[cut - 1] >= 0xD800 && units[cut - 1] <= 0xDBFF)
        --cut;
    return korvane::Utf16ToUtf8(std::u16string_view(units).substr(0, cut)) + "...";
}

std::string_view Trimmed(std::string_view line)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; };
    while (!line.empty() && blank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && blank(line.back()))
        line.remove_suffix(1);
    return line;
}

// The file's numbers, or the message that says why there are none.
std::optional<std::string> Read(const std::string& name, const char* what, std::vector<double>& values)
{
    std::vector<std::uint8_t> bytes;
    try {
        bytes = korvane::ReadFileBytes(name);
    } catch (const korvane::FileError&) {
        return std::string("Cannot open ") + what + " " + name;
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // Editors on Windows often open a text file with a UTF-8 byte order mark; it is not a value.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        ++lineNumber;
        const std::string_view line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty())
            continue;
        const std::optional<double> value = korvane::ParseDouble(line);
        if (!value) {
            values.clear();
            return std::string("Cannot read ") + what + " " + name + ": line " +
                   std::to_string(lineNumber) + " holds \"" + Excerpt(line) + "\", which is not a number";
        }
        values.push_back(*value);
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> ReadLoadDataFiles(CKorvaneDoc& doc)
{
    for (std::vector<double>& values : doc.m_loadData)
        values.clear();
    std::vector<std::string> messages;
    for (int file = 0; file < kLoadClassCount; ++file) {
        const std::string& name = doc.m_analytical.m_dataFiles[file];
        std::vector<double>& values = doc.m_loadData[file];
        if (name.empty())
            continue;
        if (auto message = Read(name, kWords[file].what, values)) {
            messages.push_back(std::move(*message));
            continue;
        }
        if (kWords[file].classWord != nullptr && values.size() != doc.m_loadData[kIntervalData].size())
            messages.push_back(std::string("Data Inconsistency!\n\nPlease make sure that the number of ") +
                               kWords[file].classWord + "\nclustered data is equals to the number of interval data.");
    }
    return messages;
}
