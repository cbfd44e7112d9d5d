#include "montecarlo/PdfSlot.h"

#include <algorithm>
#include <cmath>

#include "montecarlo/Output.h"
#include "montecarlo/RepeatedSum.h"
#include "montecarlo/ReportText.h"

using korvane::FixedText;
using korvane::UnsignedText;

namespace {

// In slot widths: far below the spread of any continuous quantity, far above rounding noise.
constexpr double kEdgeTolerance = 1e-6;

// The bars' picture travels inside the report: a steel-blue PNG of 200 by 12 pixels, as wide as
// the widest bar, so that a bar only ever shrinks it. wxHtmlWindow places a stretched picture in
// stretched units, which drew long bars over their labels.
constexpr char kBarImage[] =
    "data:image/png;base64,"
    "iVBORw0KGgoAAAANSUhEUgAAAMgAAAAMAQMAAAAd72B/AAAAA1BMVEVGgrQW1EH0AAAADUlEQVR42mNgGAXkAAABOAABQY5HBQAAAABJRU5E"
    "rkJggg==";

}  // namespace

void CPdfSlot::Create(int count, double origin, double width)
{
    m_count = count;
    m_weights.assign(static_cast<std::size_t>(std::max(count, 0)), 0.0);
    m_origin = origin;
    m_width = width;
}

void CPdfSlot::Add(double value, double weight)
{
    if (m_count > 0)
        m_weights[SlotOf(value)] += weight;
}

void CPdfSlot::Add(double value, double weight, std::uint64_t times)
{
    if (m_count > 0) {
        double& sum = m_weights[SlotOf(value)];
        sum = korvane::AddRepeatedly(sum, weight, times);
    }
}

std::size_t CPdfSlot::SlotOf(double value) const
{
    // A value on a slot's lower edge belongs to that slot, also when it arrives a few units in the
    // last place short of it: samples that are whole multiples of the width (sums of many quanta,
    // a width found as their common step) would otherwise fall one slot low.
    const double position = std::floor((value - m_origin) / m_width + kEdgeTolerance);
    // Compared as doubles: a far outlier must not overflow the conversion to an index.
    int slot = 0;
    if (position >= m_count - 1)
        slot = m_count - 1;
    else if (position > 0)
        slot = static_cast<int>(position);
    return static_cast<std::size_t>(slot);
}

void CPdfSlot::WriteHtml(COutput& output, unsigned level) const
{
    double sum = 0.0;
    double largest = 0.0;
    for (double weight : m_weights) {
        sum += weight;
        largest = std::max(largest, weight);
    }
    int shown = 0;
    if (sum > 0.0) {
        for (int i = 0; i < m_count; ++i) {
            if (m_weights[static_cast<std::size_t>(i)] / sum > 0.001)
                shown = i + 1;
        }
    }
    for (int i = 0; i < shown; ++i) {
        const double weight = m_weights[static_cast<std::size_t>(i)];
        const double lower = m_origin + i * m_width;
        const double share = weight / sum;
        const auto bars = static_cast<unsigned>(std::floor(weight * 50.0 / largest + 0.5));

        std::string line = FixedText(lower, 5, 10) + " / " + FixedText(share, 5, 7) + " : ";
        line.append(bars, '*');
        line.append(bars < 52 ? 52 - bars : 0, ' ');
        line += '\n';
        output.Log(level, line);

        std::string html = "<font size=\"2\">" + FixedText(lower, 5) + " / " + FixedText(share, 5) + "</font> ";
        if (bars > 0)  // a bar of no width draws nothing: no picture for it
            html += std::string("<img border=\"0\" src=\"") + kBarImage + "\" width=\"" + UnsignedText(4u * bars) +
                    "\" height=\"12\">";
        html += "<font size=\"2\">&nbsp;&nbsp;&nbsp;" + UnsignedText(bars) + "</font><br>";
        output.WriteHtml(html);
    }
}

void CPdfSlot::Free()
{
    std::vector<double>().swap(m_weights);
    m_count = 0;
}
