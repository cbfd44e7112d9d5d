// Conversions between the UTF-8 strings held in memory and the stored forms of the archive:
// Windows-1252 bytes, or UTF-16 little-endian code units when the text does not fit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// Windows-1252 bytes of a UTF-8 text, or nullopt when some character has no such byte
// (or the text is not valid UTF-8).
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view bytes);

// UTF-16 code units of a UTF-8 text; invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace korvane
