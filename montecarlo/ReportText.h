// Locale-independent pieces of the Monte Carlo reports: fixed-point numbers in columns, names cut
// to a column, HTML escapes and the anchors of the load-point sections.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// "%*.*f": right-aligned in at least `width` characters.
std::string FixedText(double value, int decimals, int width = 0);

// "%*u", or "%0*u" with zeroFill.
std::string UnsignedText(std::uint64_t value, int width = 0, bool zeroFill = false);

// "%-N.Ns", counted in characters rather than bytes so a UTF-8 name is never cut inside one.
std::string ColumnText(std::string_view text, std::size_t width);

// Text for HTML content and quoted attribute values, in ASCII: every other character becomes a
// numeric reference, so the report reads the same whatever encoding a viewer assumes (the report
// names none). A malformed UTF-8 byte becomes U+FFFD.
std::string EscapeHtml(std::string_view text);

// The report's own path as the part of a link before its "#": '%', '#' and '?' are
// percent-encoded, so that a report in a folder such as "C# work" or "100%" is still found.
std::string LinkPath(std::string_view path);

// The section anchor of each load point, in the order of the load points. An anchor is the
// load point's name, so "#name" finds it, unless an earlier load point or a system section
// ("SAIFI", "SAIDI", "CAIDI", "ENS") already has that anchor: then "name$2", "name$3" ...
// ('$' never occurs in a name that NDL can carry).
std::vector<std::string> LoadPointAnchors(const std::vector<std::string>& names);

}  // namespace korvane
