// The final report of a run: the text trace's tables and the HTML report with its sections.
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

}  // namespace

void CSimulation::WriteReport(unsigned years, std::uint64_t elapsedMs, const std::string& htmlPath)
{
    if (m_output == nullptr)
        return;
    COutput& out = *m_output;
    const unsigned level = 2;
    auto log = [&out](const std::string& text) { out.Log(level, text); };
    auto html = [&out](const std::string& text) { out.WriteHtml(text); };

    const std::uint64_t elapsed = elapsedMs == 0 ? 1 : elapsedMs;
    const std::string minutes = UnsignedText(elapsed / 60000);
    const std::string seconds = UnsignedText(elapsed / 1000 % 60, 2, true);
    const std::string speed = FixedText(years / static_cast<double>(elapsed) * 1000.0, 2);

    std::vector<std::string> names;
    for (unsigned e : m_loads)
        names.push_back(m_edges[e].name);
    const std::vector<std::string> anchors = korvane::LoadPointAnchors(names);
    const std::string link = EscapeHtml(korvane::LinkPath(htmlPath)) + "#";

    double n = 0.0;
    double f = 0.0;
    double i = 0.0;
    double u = 0.0;
    double d = 0.0;
    for (unsigned e : m_loads) {
        const SimEdge& load = m_edges[e];
        n += load.customers;
        f += load.customers * load.frequency.GetMean();
        i += load.customers * load.interruptedYear.GetMean();
        u += load.customers * load.unavailability.GetMean();
        d += load.energyNotSupplied.GetMean();
    }
    const Ratio caifi = Divide(f, i);
    const Ratio asui = Divide(u / 8760.0, n);
    const Ratio asai = asui.defined ? Ratio{1.0 - asui.value, true} : Ratio{};
    const Ratio aens = Divide(d, n);
    const Ratio acci = Divide(d, i);

    log("simulation years: " + UnsignedText(years) + ", time: " + minutes + ":" + seconds + ", speed: " + speed +
        " years/sec    \n\n");

    html("<br><b><u>Overall Result</u></b><br><br>");
    html("<table border=\"1\" width=\"300\" cellspacing=\"1\"><tr><td width=\"150\" bgcolor=\"#99CCFF\">");
    html("<font size=\"2\">Simulation years</font></td><td width=\"150\">");
    html("<font size=\"2\">");
    html(UnsignedText(years));
    html("</font>");
    html("</td></tr><tr><td width=\"150\" bgcolor=\"#99CCFF\"><font size = \"2\">Simulation time</font></td>"
         "<td width=\"150\">");
    html("<font size=\"2\">");
    html(minutes);
    html(":");
    html(seconds);
    html("</font>");
    html("</td></tr><tr><td width=\"150\" bgcolor=\"#99CCFF\"><font size = \"2\">Last recorded speed</font></td>"
         "<td width=\"150\">");
    html("<font size=\"2\">");
    html(speed);
    html(" years/sec</font></td></tr></table>");

    html("&nbsp;<table border=\"2\" width=\"100%\"><tr><td width=\"20%\" bgcolor=\"#99CCFF\"><font size=\"2\">"
         "Load Point</font></td>");
    html("<td width=\"20%\" bgcolor=\"#99CCFF\"><font size=\"2\">Failure Rate</font></td><td width=\"20%\" "
         "bgcolor=\"#99CCFF\"><font size=\"2\">Avg Outage Dur.</font></td>");
    html("<td width=\"20%\" bgcolor=\"#99CCFF\"><font size=\"2\">Unavailability</font></td><td width=\"20%\" "
         "bgcolor=\"#99CCFF\"><font size=\"2\">ENS</font></td></tr>");

    log("|Load Point   ");
    log("|  Failure Rate ");
    log("| Avg Outage Dur");
    log("| Unavailability");
    log("|      ENS      ");
    log("|\n");

    for (std::size_t k = 0; k < m_loads.size(); ++k) {
        const SimEdge& load = m_edges[m_loads[k]];
        const CEstimate* quantities[] = {&load.frequency, &load.outageDuration, &load.unavailability,
                                         &load.energyNotSupplied};
        log("|" + ColumnText(load.name, 13));
        for (const CEstimate* estimate : quantities)
            log("|" + FixedText(estimate->GetMean(), 5, 9) + FixedText(Percent(*estimate), 1, 5) + "%");
        log("|\n");

        html("<tr>");
        html("<td width=\"20%\" bgcolor=\"#99CCFF\"><font size=\"2\">");
        html("<a href=\"" + link + EscapeHtml(anchors[k]) + "\">" + EscapeHtml(load.name) + "</a>");
        html("</font></td>");
        for (const CEstimate* estimate : quantities) {
            html("<td width=\"20%\"><font size=\"2\">");
            html(FixedText(estimate->GetMean(), 5));
            html("&nbsp;-&nbsp;");
            html(FixedText(Percent(*estimate), 1));
            html("%");
            html("</font></td>");
        }
        html("</tr>");
    }

    log("\n");
    log("SAIFI = " + FixedText(m_saifi.GetMean(), 5, 9) + "    " + FixedText(Percent(m_saifi), 1, 5) + "%\n");
    log("SAIDI = " + FixedText(m_saidi.GetMean(), 5, 9) + "    " + FixedText(Percent(m_saidi), 1, 5) + "%\n");
    log("CAIFI = " + caifi.Text(5, 9) + "\n");
    log("CAIDI = " + FixedText(m_caidi.GetMean(), 5, 9) + "    " + FixedText(Percent(m_caidi), 1, 5) + "%\n");
    log("ASUI  = " + asui.Text(8, 12) + "\n");
    log("ASAI  = " + asai.Text(8, 12) + "\n");
    log("ENS   = " + FixedText(m_ens.GetMean(), 5, 9) + "    " + FixedText(Percent(m_ens), 1, 5) + "%\n");
    log("AENS  = " + aens.Text(5, 9) + "\n");
    log("ACCI  = " + acci.Text(5, 9) + "\n");

    std::string table = "</table><br><table border=\"1\" width=\"300\">";
    auto linkedRow = [&](const char* anchor, const CEstimate& estimate) {
        table += "<tr><td width=\"100\" bgcolor=\"#99CCFF\"><font size=\"2\"><a href=\"" + link + anchor + "\">" +
                 anchor + "</a></font></td><td width=\"200\"><font size=\"2\">" + FixedText(estimate.GetMean(), 5) +
                 " - " + FixedText(Percent(estimate), 1) + "% </font></td></tr>";
    };
    auto plainRow = [&](const char* label, const std::string& value, const char* ending) {
        table += std::string("<tr><td width=\"100\" bgcolor=\"#99CCFF\"><font size=\"2\">") + label +
                 "</font></td><td width=\"200\"><font size=\"2\">" + value + ending;
    };
    const char* rowEnd = "</font></td></tr>";
    linkedRow("SAIFI", m_saifi);
    linkedRow("SAIDI", m_saidi);
    plainRow("CAIFI", caifi.Text(5), rowEnd);
    linkedRow("CAIDI", m_caidi);
    plainRow("ASUI", asui.Text(8), rowEnd);
    plainRow("ASAI", asai.Text(8), rowEnd);
    linkedRow("ENS", m_ens);
    plainRow("AENS", aens.Text(5), rowEnd);
    plainRow("ACCI", acci.Text(5), "</font></td></tr></table><br><br><hr><br><br><br><br><br>");
    html(table);

    log("\n");
    for (std::size_t k = 0; k < m_loads.size(); ++k) {
        SimEdge& load = m_edges[m_loads[k]];
        log(kDoubleRule);
        log("Load Point: " + load.name + "\n");

        const std::string anchor = EscapeHtml(anchors[k]);
        html("<p><u><b><a name = \"" + anchor + "\" id = \"" + anchor + "\">Load Point - " + EscapeHtml(load.name) +
             "</a></b></u></p>");
        html("<table border=\"1\" width=\"300\">");
        struct Section {
            CEstimate* estimate;
            const char* head;
            const char* htmlTitle;
            const char* traceTitle;
        };
        const Section sections[] = {
            {&load.frequency,
             "<tr><td width=\"50%\" bgcolor=\"#99CCFF\"><font size=\"2\">Failure Rate</font></td><td width=\"50%\">",
             "<B>Failure rate = ", "Failure Rate = "},
            {&load.outageDuration,
             "<tr><td width=\"50%\" bgcolor=\"#99CCFF\"><font size=\"2\">Avg Outage Dur.</font></td><td width=\"50%\">",
             "<B>Average Outage Duration = ", "Average Outage Duration = "},
            {&load.unavailability,
             "<tr><td width=\"50%\" bgcolor=\"#99CCFF\"><font size=\"2\">Unavailability</font></td><td width=\"50%\">",
             "<B>Unavailability = ", "Unavailability = "},
            {&load.energyNotSupplied,
             "<tr><td width=\"50%\" bgcolor=\"#99CCFF\"><font size=\"2\">ENS</font></td><td width=\"50%\">",
             "<B>Energy Not Supplied = ", "Energy Not Supplied = "},
        };
        for (std::size_t s = 0; s < 4; ++s) {
            const CEstimate& estimate = *sections[s].estimate;
            html(sections[s].head);
            html("<font size=\"2\">");
            html(FixedText(estimate.GetMean(), 5));
            html(" - ");
            html(FixedText(Percent(estimate), 2));
            html("%");
            html(s == 3 ? "</font></td></tr></table><br><br>" : "</font></td></tr>");
        }
        for (std::size_t s = 0; s < 4; ++s) {
            CEstimate& estimate = *sections[s].estimate;
            const std::string mean = FixedText(estimate.GetMean(), 5);
            const std::string error = FixedText(Percent(estimate), 2);
            html("<hr size=\"5\" align=\"left\" width=\"300\">");
            html(sections[s].htmlTitle);
            html(mean);
            html(" - ");
            html(error);
            html("% </B><br>");
            log(kSingleRule);
            log(std::string(sections[s].traceTitle) + mean + " (" + error + "%)\n\n");
            estimate.WriteHtml(out, level);
            html(s == 3 ? "<br><br><hr><br><br><br><br>" : "<br><br>");
        }
    }

    html("<u><B>Detailed overall network value</B></u><br><br>");
    log(kDoubleRule);
    struct SystemSection {
        const char* name;
        CEstimate* estimate;
    };
    const SystemSection systems[] = {{"SAIFI", &m_saifi}, {"SAIDI", &m_saidi}, {"CAIDI", &m_caidi}, {"ENS", &m_ens}};
    for (std::size_t s = 0; s < 4; ++s) {
        const std::string name = systems[s].name;
        CEstimate& estimate = *systems[s].estimate;
        const std::string mean = FixedText(estimate.GetMean(), 5);
        const std::string error = FixedText(Percent(estimate), 2);
        if (s > 0)
            log(kSingleRule);
        log(name + " = " + mean + " (" + error + "%)\n\n");
        html(s == 0 ? "<br>" : "<hr size=\"5\" align=\"left\" width=\"300\"><br><br>");
        html("<B><a name = \"" + name + "\" id = \"" + name + "\">" + name + "</a> = ");
        html(mean);
        html(" - ");
        html(error);
        html("% </B><br><br>");
        estimate.WriteHtml(out, level);
        html("<br><br>");
    }
    log(kDoubleRule);
}
