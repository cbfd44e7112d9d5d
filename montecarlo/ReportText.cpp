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

std::string EscapeHtml(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
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
