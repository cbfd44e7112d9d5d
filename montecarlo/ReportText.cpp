#include "montecarlo/ReportText.h"

#include <set>

#include "platform/NumberFormat.h"

namespace korvane {

std::string FixedText(double value, int decimals, int width)
{
    std::string text = FormatFixed(value, decimals);
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string UnsignedText(std::uint64_t value, int width, bool zeroFill)
{
    std::string text = std::to_string(value);
    if (text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), zeroFill ? '0' : ' ');
    return text;
}

std::string ColumnText(std::string_view text, std::size_t width)
{
    std::size_t characters = 0;
    std::size_t end = 0;
    while (end < text.size() && characters < width) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;  // continuation bytes of a UTF-8 character
        ++characters;
    }
    std::string result(text.substr(0, end));
    result.append(width - characters, ' ');
    return result;
}

namespace {

// The code point of the UTF-8 sequence at text[at], moving `at` past it; a byte that does not
// start a well-formed sequence is U+FFFD and moves one byte.
char32_t NextCodePoint(std::string_view text, std::size_t& at)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1Fu, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0Fu, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07u, lowest = 0x10000;
    }
    if (length == 0 || at + length > text.size()) {
        ++at;
        return 0xFFFD;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) {
            ++at;
            return 0xFFFD;
        }
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++at;
        return 0xFFFD;
    }
    at += length;
    return code;
}

}  // namespace

std::string EscapeHtml(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if ((static_cast<unsigned char>(c) & 0x80u) != 0) {
            result += "&#" + std::to_string(static_cast<std::uint32_t>(NextCodePoint(text, at))) + ";";
            continue;
        }
        ++at;
        switch (c) {
        case '&': result += "&amp;"; break;
        case '<': result += "&lt;"; break;
        case '>': result += "&gt;"; break;
        case '"': result += "&quot;"; break;
        case '\'': result += "&#39;"; break;
        default: result += c;
        }
    }
    return result;
}

std::string LinkPath(std::string_view path)
{
    std::string result;
    result.reserve(path.size());
    for (char c : path) {
        switch (c) {
        case '%': result += "%25"; break;
        case '#': result += "%23"; break;
        case '?': result += "%3F"; break;
        default: result += c;
        }
    }
    return result;
}

std::vector<std::string> LoadPointAnchors(const std::vector<std::string>& names)
{
    std::set<std::string> taken = {"SAIFI", "SAIDI", "CAIDI", "ENS"};
    std::vector<std::string> anchors;
    anchors.reserve(names.size());
    for (const std::string& name : names) {
        std::string anchor = name;
        for (unsigned n = 2; taken.count(anchor) != 0; ++n)
            anchor = name + "$" + std::to_string(n);
        taken.insert(anchor);
        anchors.push_back(std::move(anchor));
    }
    return anchors;
}

}  // namespace korvane
