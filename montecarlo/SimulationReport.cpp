// The final report of a run: the text trace's tables and the HTML report with its sections.
#include <iterator>
#include <string>
#include <vector>

#include "montecarlo/Output.h"
#include "montecarlo/ReportText.h"
#include "montecarlo/Simulation.h"

using korvane::ColumnText;
using korvane::EscapeHtml;
using korvane::FixedText;
using korvane::UnsignedText;

namespace {

const std::string kDoubleRule = std::string(78, '=') + "\n";
const std::string kSingleRule = std::string(78, '-') + "\n";
const std::string kHeadCell = "<td width=\"20%\" bgcolor=\"#99CCFF\"><font size=\"2\">";

// A ratio whose denominator is 0 has no value: it prints "n/a".
struct Ratio {
    double value = 0.0;
    bool defined = false;

    std::string Text(int decimals, int width = 0) const
    {
        if (defined)
            return FixedText(value, decimals, width);
        std::string text = "n/a";
        if (text.size() < static_cast<std::size_t>(width))
            text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
        return text;
    }
};

Ratio Divide(double numerator, double denominator)
{
    if (denominator == 0.0)
        return {};
    return {numerator / denominator, true};
}

double Percent(const CEstimate& estimate)
{
    return 100.0 * estimate.GetRelativeError();
}

// The two files a report goes to: the trace, at level 2, and the HTML report.
struct Report {
    static constexpr unsigned kLevel = 2;
    COutput& out;
    std::string link;  // the report's own path and "#", ready for an href

    void Trace(const std::string& text) const { out.Log(kLevel, text); }
    void Html(const std::string& text) const { out.WriteHtml(text); }
    void Histogram(CEstimate& estimate) const { estimate.WriteHtml(out, kLevel); }
};

struct LoadPoint {
    const SimEdge& edge;
    SimLoadEstimates& estimates;
    std::string anchor;  // escaped
};

// A load point's four quantities, in the order of every table and section.
struct Quantity {
    CEstimate SimLoadEstimates::*estimate;
    const char* label;        // heads the HTML columns and rows
    const char* traceColumn;  // heads the trace's column
    const char* htmlTitle;
    const char* traceTitle;
};
const Quantity kQuantities[] = {
    {&SimLoadEstimates::frequency, "Failure Rate", "  Failure Rate ", "Failure rate = ", "Failure Rate = "},
    {&SimLoadEstimates::outageDuration, "Avg Outage Dur.", " Avg Outage Dur", "Average Outage Duration = ",
     "Average Outage Duration = "},
    {&SimLoadEstimates::unavailability, "Unavailability", " Unavailability", "Unavailability = ", "Unavailability = "},
    {&SimLoadEstimates::energyNotSupplied, "ENS", "      ENS      ", "Energy Not Supplied = ", "Energy Not Supplied = "},
};

// A system index: an estimate with its error and its own section, or a ratio of the load points'
// means, printed with `decimals` (8 for the shares of the year, in a wider column).
struct Index {
    const char* name;
    CEstimate* estimate;  // null for a ratio
    Ratio ratio;
    int decimals = 5;
};

// The customer-weighted indices over the load points' means: N customers, F = sum c x frequency,
// I = sum c x interrupted-year share, U = sum c x unavailability (hours a year), D = sum of energy
// not supplied; CAIFI = F / I, ASUI = U / 8760 / N, ASAI = 1 - ASUI, AENS = D / N, ACCI = D / I.
std::vector<Index> SystemIndices(const std::vector<LoadPoint>& loads, CEstimate& saifi, CEstimate& saidi,
                                 CEstimate& caidi, CEstimate& ens)
{
    double n = 0.0, f = 0.0, i = 0.0, u = 0.0, d = 0.0;
    for (const LoadPoint& load : loads) {
        const SimEdge& edge = load.edge;
        const SimLoadEstimates& estimates = load.estimates;
        n += edge.customers;
        f += edge.customers * estimates.frequency.GetMean();
        i += edge.customers * estimates.interruptedYear.GetMean();
        u += edge.customers * estimates.unavailability.GetMean();
        d += estimates.energyNotSupplied.GetMean();
    }
    const Ratio asui = Divide(u / 8760.0, n);
    const Ratio asai = asui.defined ? Ratio{1.0 - asui.value, true} : Ratio{};
    return {
        {"SAIFI", &saifi, {}},
        {"SAIDI", &saidi, {}},
        {"CAIFI", nullptr, Divide(f, i)},
        {"CAIDI", &caidi, {}},
        {"ASUI", nullptr, asui, 8},
        {"ASAI", nullptr, asai, 8},
        {"ENS", &ens, {}},
        {"AENS", nullptr, Divide(d, n)},
        {"ACCI", nullptr, Divide(d, i)},
    };
}

// Years simulated, the time they took and the speed.
void WriteRunFigures(const Report& report, unsigned years, std::uint64_t elapsedMs)
{
    const std::uint64_t elapsed = elapsedMs == 0 ? 1 : elapsedMs;
    const std::string minutes = UnsignedText(elapsed / 60000);
    const std::string seconds = UnsignedText(elapsed / 1000 % 60, 2, true);
    const std::string speed = FixedText(years / static_cast<double>(elapsed) * 1000.0, 2);

    report.Trace("simulation years: " + UnsignedText(years) + ", time: " + minutes + ":" + seconds +
                 ", speed: " + speed + " years/sec    \n\n");

    report.Html("<br><b><u>Overall Result</u></b><br><br>"
                "<table border=\"1\" width=\"300\" cellspacing=\"1\"><tr><td width=\"150\" bgcolor=\"#99CCFF\">"
                "<font size=\"2\">Simulation years</font></td><td width=\"150\">");
    report.Html("<font size=\"2\">" + UnsignedText(years) + "</font>");
    report.Html("</td></tr><tr><td width=\"150\" bgcolor=\"#99CCFF\"><font size = \"2\">Simulation time</font></td>"
                "<td width=\"150\">");
    report.Html("<font size=\"2\">" + minutes + ":" + seconds + "</font>");
    report.Html("</td></tr><tr><td width=\"150\" bgcolor=\"#99CCFF\"><font size = \"2\">Last recorded speed</font>"
                "</td><td width=\"150\">");
    report.Html("<font size=\"2\">" + speed + " years/sec</font></td></tr></table>");
}

// One row per load point: each quantity's mean and relative error; the HTML names link to the
// load points' sections.
void WriteLoadPointTable(const Report& report, const std::vector<LoadPoint>& loads)
{
    std::string head = "|Load Point   ";
    for (const Quantity& quantity : kQuantities)
        head += std::string("|") + quantity.traceColumn;
    report.Trace(head + "|\n");
    for (const LoadPoint& load : loads) {
        std::string row = "|" + ColumnText(load.edge.name, 13);
        for (const Quantity& quantity : kQuantities) {
            const CEstimate& estimate = load.estimates.*quantity.estimate;
            row += "|" + FixedText(estimate.GetMean(), 5, 9) + FixedText(Percent(estimate), 1, 5) + "%";
        }
        report.Trace(row + "|\n");
    }
    report.Trace("\n");

    std::string table = "&nbsp;<table border=\"2\" width=\"100%\"><tr>" + kHeadCell + "Load Point</font></td>";
    for (const Quantity& quantity : kQuantities)
        table += kHeadCell + quantity.label + "</font></td>";
    table += "</tr>";
    for (const LoadPoint& load : loads) {
        table += "<tr>" + kHeadCell + "<a href=\"" + report.link + load.anchor + "\">" + EscapeHtml(load.edge.name) +
                 "</a></font></td>";
        for (const Quantity& quantity : kQuantities) {
            const CEstimate& estimate = load.estimates.*quantity.estimate;
            table += "<td width=\"20%\"><font size=\"2\">" + FixedText(estimate.GetMean(), 5) + "&nbsp;-&nbsp;" +
                     FixedText(Percent(estimate), 1) + "%</font></td>";
        }
        table += "</tr>";
    }
    report.Html(table);
}

// The system indices: the estimates with their errors, the ratios alone; the HTML estimates link
// to their sections.
void WriteIndexTable(const Report& report, const std::vector<Index>& indices)
{
    for (const Index& index : indices) {
        const std::string label = ColumnText(index.name, 5) + " = ";
        if (index.estimate != nullptr)
            report.Trace(label + FixedText(index.estimate->GetMean(), 5, 9) + "    " +
                         FixedText(Percent(*index.estimate), 1, 5) + "%\n");
        else
            report.Trace(label + index.ratio.Text(index.decimals, index.decimals + 4) + "\n");
    }
    report.Trace("\n");

    std::string table = "</table><br><table border=\"1\" width=\"300\">";
    for (const Index& index : indices) {
        const std::string name = index.name;
        table += "<tr><td width=\"100\" bgcolor=\"#99CCFF\"><font size=\"2\">";
        if (index.estimate != nullptr)
            table += "<a href=\"" + report.link + name + "\">" + name + "</a></font></td><td width=\"200\">" +
                     "<font size=\"2\">" + FixedText(index.estimate->GetMean(), 5) + " - " +
                     FixedText(Percent(*index.estimate), 1) + "% </font></td></tr>";
        else
            table += name + "</font></td><td width=\"200\"><font size=\"2\">" + index.ratio.Text(index.decimals) +
                     "</font></td></tr>";
    }
    report.Html(table + "</table><br><br><hr><br><br><br><br><br>");
}

// Per load point: a summary table, then each quantity with its histogram.
void WriteLoadPointSection(const Report& report, const LoadPoint& load)
{
    report.Trace(kDoubleRule + "Load Point: " + load.edge.name + "\n");

    std::string summary = "<p><u><b><a name = \"" + load.anchor + "\" id = \"" + load.anchor + "\">Load Point - " +
                          EscapeHtml(load.edge.name) + "</a></b></u></p><table border=\"1\" width=\"300\">";
    for (const Quantity& quantity : kQuantities) {
        const CEstimate& estimate = load.estimates.*quantity.estimate;
        summary += std::string("<tr><td width=\"50%\" bgcolor=\"#99CCFF\"><font size=\"2\">") + quantity.label +
                   "</font></td><td width=\"50%\"><font size=\"2\">" + FixedText(estimate.GetMean(), 5) + " - " +
                   FixedText(Percent(estimate), 2) + "%</font></td></tr>";
    }
    report.Html(summary + "</table><br><br>");

    for (const Quantity& quantity : kQuantities) {
        CEstimate& estimate = load.estimates.*quantity.estimate;
        const std::string value = FixedText(estimate.GetMean(), 5);
        const std::string error = FixedText(Percent(estimate), 2);
        report.Trace(kSingleRule + quantity.traceTitle + value + " (" + error + "%)\n\n");
        report.Html(std::string("<hr size=\"5\" align=\"left\" width=\"300\"><B>") + quantity.htmlTitle + value +
                    " - " + error + "% </B><br>");
        report.Histogram(estimate);
        report.Html(&quantity == std::end(kQuantities) - 1 ? "<br><br><hr><br><br><br><br>" : "<br><br>");
    }
}

// The system indices that are estimates, each with its histogram, under an anchor of its name.
void WriteSystemSections(const Report& report, const std::vector<Index>& indices)
{
    report.Html("<u><B>Detailed overall network value</B></u><br><br>");
    report.Trace(kDoubleRule);
    bool first = true;
    for (const Index& index : indices) {
        if (index.estimate == nullptr)
            continue;
        CEstimate& estimate = *index.estimate;
        const std::string name = index.name;
        const std::string value = FixedText(estimate.GetMean(), 5);
        const std::string error = FixedText(Percent(estimate), 2);
        report.Trace((first ? "" : kSingleRule) + name + " = " + value + " (" + error + "%)\n\n");
        report.Html(first ? "<br>" : "<hr size=\"5\" align=\"left\" width=\"300\"><br><br>");
        report.Html("<B><a name = \"" + name + "\" id = \"" + name + "\">" + name + "</a> = " + value + " - " + error +
                    "% </B><br><br>");
        report.Histogram(estimate);
        report.Html("<br><br>");
        first = false;
    }
    report.Trace(kDoubleRule);
}

}  // namespace

void CSimulation::WriteReport(unsigned years, std::uint64_t elapsedMs, const std::string& htmlPath)
{
    if (m_output == nullptr)
        return;
    const Report report{*m_output, EscapeHtml(korvane::LinkPath(htmlPath)) + "#"};

    std::vector<std::string> names;
    for (unsigned e : m_loads)
        names.push_back(m_edges[e].name);
    const std::vector<std::string> anchors = korvane::LoadPointAnchors(names);
    std::vector<LoadPoint> loads;
    for (std::size_t k = 0; k < m_loads.size(); ++k)
        loads.push_back({m_edges[m_loads[k]], m_loadEstimates[k], EscapeHtml(anchors[k])});
    const std::vector<Index> indices = SystemIndices(loads, m_saifi, m_saidi, m_caidi, m_ens);

    WriteRunFigures(report, years, elapsedMs);
    WriteLoadPointTable(report, loads);
    WriteIndexTable(report, indices);
    for (const LoadPoint& load : loads)
        WriteLoadPointSection(report, load);
    WriteSystemSections(report, indices);
}
