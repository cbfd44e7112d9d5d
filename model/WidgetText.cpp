#include "model/WidgetText.h"

#include "platform/NumberFormat.h"

namespace {

// The first value the NDL reader gives a pair that is written with only one number.
constexpr double kParserDefaultFirst = 1e-10;

std::string N6(double v)
{
    return korvane::FormatSignificant(v, kNdlDigits);
}

}  // namespace

void NdlDefinition::Line(const char* name, const std::string& value)
{
    m_text += name;
    m_text += " = ";
    m_text += value;
    m_text += ";\\\n";
}

NdlDefinition& NdlDefinition::Connect(std::int32_t node1, std::int32_t node2)
{
    if (node1 != -1 && node2 != -1)
        Line("connect", N6(node1) + ", " + N6(node2));
    return *this;
}

NdlDefinition& NdlDefinition::Connect(std::int32_t node)
{
    if (node != -1)
        Line("connect", N6(node));
    return *this;
}

NdlDefinition& NdlDefinition::Value(const char* name, double value)
{
    if (value != -1.0)
        Line(name, N6(value));
    return *this;
}

NdlDefinition& NdlDefinition::Pair(const char* name, double first, double second)
{
    const bool firstSet = first != -1.0;
    const bool secondSet = second != -1.0;
    if (firstSet && secondSet)
        Line(name, N6(first) + ", " + N6(second));
    else if (firstSet)
        Line(name, N6(first));
    else if (secondSet)
        Line(name, N6(kParserDefaultFirst) + ", " + N6(second));
    return *this;
}

NdlDefinition& NdlDefinition::Text(const char* name, const std::string& text)
{
    if (!text.empty())
        Line(name, "\"" + text + "\"");
    return *this;
}

NdlDefinition& NdlDefinition::List(const char* name, const std::vector<double>& values)
{
    if (values.empty())
        return *this;
    std::string joined;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            joined += " ,";
        joined += N6(values[i]);
    }
    Line(name, joined);
    return *this;
}

std::string NdlDefinition::Finish()
{
    m_text += "\n";
    return std::move(m_text);
}

GmlRecord& GmlRecord::Int(const char* key, long long value)
{
    m_text += key;
    m_text += ' ';
    m_text += korvane::FormatInt(value);
    m_text += '\n';
    return *this;
}

GmlRecord& GmlRecord::Real(const char* key, double value)
{
    m_text += key;
    m_text += ' ';
    m_text += korvane::FormatFixed4(value);
    m_text += '\n';
    return *this;
}

GmlRecord& GmlRecord::Fixed(const char* keyAndValue)
{
    m_text += keyAndValue;
    m_text += '\n';
    return *this;
}

GmlRecord& GmlRecord::Raw(const std::string& lines)
{
    m_text += lines;
    return *this;
}

std::string GmlRecord::Wrap(const char* kind) const
{
    return std::string(kind) + "\n[\n" + m_text + "]\n";
}
