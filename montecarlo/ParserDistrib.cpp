#include "montecarlo/ParserDistrib.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "montecarlo/Simulation.h"

namespace {

// Validity masks: one bit per type code.
constexpr int kSystemOnly = 1 << CParserDistrib::System;
constexpr int kLoadOnly = 1 << CParserDistrib::Load;
constexpr int kLineOnly = 1 << CParserDistrib::Line;
constexpr int kFailing = (1 << CParserDistrib::Equipment) | (1 << CParserDistrib::Line);
constexpr int kRecloserOnly = 1 << CParserDistrib::Recloser;
constexpr int kWithCapacity = ~(kSystemOnly | kLoadOnly);
constexpr int kEveryComponent = ~kSystemOnly;

// In type-code order.
constexpr const char* kTypeKeywords[] = {"system",   "source",    "load", "breaker", "fuse",
                                         "isolator", "equipment", "line", "recloser"};

// The pairs of an element that never fails and is never out for long: a disabled fuse, isolator
// or recloser.
constexpr double kNever = 1e-10;
constexpr double kSteep = 1e10;

std::string Quoted(const std::string& keyword)
{
    return "the \"" + keyword + "\" attribute";
}

}  // namespace

bool CParserDistrib::Run(CSimulation* model)
{
    m_pModel = model;
    return ParseAll() && m_bSystemDefined;
}

bool CParserDistrib::IsControlCharacter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

std::size_t CParserDistrib::ControlCharacterC1At(const std::string& text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    return at + 1 < text.size() && byte(at) == 0xc2 && byte(at + 1) >= 0x80 && byte(at + 1) <= 0x9f ? 2 : 0;
}

bool CParserDistrib::IsNameReadable(const std::string& name)
{
    for (std::size_t i = 0; i < name.size(); ++i)
        if (IsControlCharacter(name[i]) || ControlCharacterC1At(name, i) != 0)
            return false;
    return true;
}

void CParserDistrib::ResetSystem()
{
    m_quantsPerDay = -1;
    m_yearMin = 100;
    m_yearMax = 1000000;
    m_yearStep = 100;
    m_accuracy = 0.05;
    m_fuses = m_isolators = m_reclosers = m_maxFlow = true;
}

void CParserDistrib::ResetComponent()
{
    m_name.clear();
    m_connect[0] = m_connect[1] = -1;
    m_capacity = -1.0;
    m_customers = 1;
    m_length = 1.0;
    for (double* pair : {m_failure, m_isolation, m_repair, m_reclose}) {
        pair[0] = 1e-10;
        pair[1] = 1.0;
    }
    m_profile.assign(1, 1.0);
    m_average = m_peak = -1.0;
}

void CParserDistrib::OnTypeKeyword(const std::string& keyword)
{
    int type = -1;
    for (int i = 0; i < static_cast<int>(std::size(kTypeKeywords)); ++i)
        if (keyword == kTypeKeywords[i])
            type = i;
    if (type < 0)
        Error("unknown type keyword \"" + Shown(keyword) + "\"");
    m_type = type;
    if (type != System) {
        if (!m_bSystemDefined)
            Error("a system definition must occur before any component definition");
        ResetComponent();
        return;
    }
    if (m_bSystemDefined)
        Error("duplicate system definition");
    ResetSystem();
    m_bSystemDefined = true;
}

void CParserDistrib::OnAttribute(const std::string& k, const CAttributeValue& v)
{
    using namespace ndl_range;
    if (k == "quantsperday")
        m_quantsPerDay = GetInteger(k, kSystemOnly, v, kQuantsPerDay);
    else if (k == "yearmin")
        m_yearMin = GetInteger(k, kSystemOnly, v, kYears);
    else if (k == "yearmax")
        m_yearMax = GetInteger(k, kSystemOnly, v, kYears);
    else if (k == "yearstep")
        m_yearStep = GetInteger(k, kSystemOnly, v, kYearStep);
    else if (k == "accuracy")
        m_accuracy = GetNumber(k, kSystemOnly, v, kAccuracy);
    else if (k == "fuses")
        m_fuses = GetBool(k, kSystemOnly, v);
    else if (k == "isolators")
        m_isolators = GetBool(k, kSystemOnly, v);
    else if (k == "reclosers")
        m_reclosers = GetBool(k, kSystemOnly, v);
    else if (k == "maxflow")
        m_maxFlow = GetBool(k, kSystemOnly, v);
    else if (k == "name")
        SetName(v);
    else if (k == "connect")
        SetConnect(v);
    else if (k == "capacity")
        m_capacity = GetNumber(k, kWithCapacity, v, kCapacity);
    else if (k == "customers")
        m_customers = GetInteger(k, kLoadOnly, v, kCustomers);
    else if (k == "length")
        m_length = GetNumber(k, kLineOnly, v, kLength);
    else if (k == "failure")
        GetPair(k, kFailing, v, m_failure[0], m_failure[1]);
    else if (k == "isolation")
        GetPair(k, kFailing, v, m_isolation[0], m_isolation[1]);
    else if (k == "repair")
        GetPair(k, kFailing, v, m_repair[0], m_repair[1]);
    else if (k == "reclose")
        GetPair(k, kRecloserOnly, v, m_reclose[0], m_reclose[1]);
    else if (k == "profile")
        SetProfile(v);
    else if (k == "average")
        m_average = GetNumber(k, kLoadOnly, v, kAverage);
    else if (k == "peak")
        m_peak = GetNumber(k, kLoadOnly, v, kPeak);
    else
        Error("unknown attribute keyword \"" + Shown(k) + "\"");
}

void CParserDistrib::CheckValid(const std::string& keyword, int mask)
{
    if (((static_cast<unsigned>(mask) >> m_type) & 1u) == 0)
        Error(Quoted(keyword) + " is not valid in this definition");
}

double CParserDistrib::GetSingleNumber(const std::string& keyword, int mask, const CAttributeValue& value)
{
    CheckValid(keyword, mask);
    if (value.kind != CAttributeValue::Numbers)
        Error(Quoted(keyword) + " must be of numeric type");
    if (value.numbers.size() != 1)
        Error(Quoted(keyword) + " must be a single number");
    return value.numbers[0];
}

int CParserDistrib::GetInteger(const std::string& keyword, int mask, const CAttributeValue& value,
                               const CNdlRange& range)
{
    return ToInteger(keyword, GetSingleNumber(keyword, mask, value), range);
}

int CParserDistrib::ToInteger(const std::string& keyword, double x, const CNdlRange& range)
{
    const auto bound = [](std::int32_t b) { return std::to_string(static_cast<unsigned>(b)); };
    if (!range.Accepts(x))
        Error(Quoted(keyword) + " must be an integer in the range [" + bound(range.min) + "," + bound(range.max) + "]");
    return static_cast<int>(std::floor(x + 0.5));
}

double CParserDistrib::GetNumber(const std::string& keyword, int mask, const CAttributeValue& value,
                                 const CNdlRange& range)
{
    const double x = GetSingleNumber(keyword, mask, value);
    if (!range.Accepts(x))
        Error(Quoted(keyword) + " number must be " + range.SignWord());
    return x;
}

bool CParserDistrib::GetBool(const std::string& keyword, int mask, const CAttributeValue& value)
{
    CheckValid(keyword, mask);
    if (value.kind != CAttributeValue::Numbers || value.numbers.size() != 1 ||
        !ndl_range::kFlag.Accepts(value.numbers[0]))
        Error(Quoted(keyword) + " must be either the number 0 or 1");
    return value.numbers[0] == 1.0;
}

void CParserDistrib::GetPair(const std::string& keyword, int mask, const CAttributeValue& value, double& first,
                             double& second)
{
    using ndl_range::kPairFirst, ndl_range::kPairSecond;
    CheckValid(keyword, mask);
    if (value.kind != CAttributeValue::Numbers)
        Error(Quoted(keyword) + " must be of numeric type");
    if (value.numbers.size() > 2)
        Error(Quoted(keyword) + " must be one or two numbers");
    if (!kPairFirst.Accepts(value.numbers[0]))
        Error(Quoted(keyword) + " first number must be " + kPairFirst.SignWord());
    first = value.numbers[0];
    if (value.numbers.size() == 2) {
        if (!kPairSecond.Accepts(value.numbers[1]))
            Error(Quoted(keyword) + " second number must be " + kPairSecond.SignWord());
        second = value.numbers[1];
    } else {
        second = 1.0;
    }
}

void CParserDistrib::SetName(const CAttributeValue& value)
{
    CheckValid("name", kEveryComponent);
    if (value.kind != CAttributeValue::String)
        Error("the \"name\" attribute must be of string type");
    if (!IsNameReadable(value.text))
        Error("the \"name\" attribute must not hold a control character");
    m_name = value.text;
}

void CParserDistrib::SetConnect(const CAttributeValue& value)
{
    CheckValid("connect", kEveryComponent);
    if (value.kind != CAttributeValue::Numbers)
        Error("the \"connect\" attribute must be of numeric type");
    const bool onePoint = m_type == Source || m_type == Load;
    if (value.numbers.size() != (onePoint ? 1u : 2u))
        Error(std::string("the \"connect\" attribute must be a ") + (onePoint ? "single number" : "pair of numbers"));
    for (std::size_t i = 0; i < value.numbers.size(); ++i)
        m_connect[i] = static_cast<int>(RegisterNode(ToInteger("connect", value.numbers[i], ndl_range::kNode)));
}

void CParserDistrib::SetProfile(const CAttributeValue& value)
{
    CheckValid("profile", kLoadOnly);
    if (value.kind != CAttributeValue::Numbers)
        Error("the \"profile\" attribute must be of numeric type");
    using ndl_range::kProfileValue;
    for (double x : value.numbers)
        if (!kProfileValue.Accepts(x))
            Error(std::string("the \"profile\" attribute requires ") + kProfileValue.SignWord() + " numbers");
    m_profile = value.numbers;
}

unsigned CParserDistrib::RegisterNode(int ndlNode)
{
    if (ndlNode != -1) {
        const auto found = m_nodeMap.find(ndlNode);
        if (found != m_nodeMap.end())
            return found->second;
    }
    const unsigned node = 2 + m_nodesHandedOut++;
    if (ndlNode != -1)
        m_nodeMap.emplace(ndlNode, node);
    return node;
}

void CParserDistrib::OnEndOfDefinition()
{
    if (m_type == System) {
        if (m_quantsPerDay == -1)
            Error("the \"quantsperday\" attribute is required");
        if (m_pModel != nullptr)
            m_pModel->SetSystem(static_cast<unsigned>(m_quantsPerDay), static_cast<unsigned>(m_yearMin),
                                static_cast<unsigned>(m_yearMax), static_cast<unsigned>(m_yearStep), m_accuracy);
        return;
    }
    if (m_connect[0] == -1)
        Error("the \"connect\" attribute is required");
    if (m_pModel != nullptr)
        BuildComponent();
}

void CParserDistrib::AddPerfectConductor(unsigned from, unsigned to, double capacity)
{
    m_pModel->AddEquipment(from, to, capacity, kNever, kSteep, kNever, kSteep, kNever, kSteep);
}

void CParserDistrib::BuildComponent()
{
    CSimulation& model = *m_pModel;
    const double capacity = m_maxFlow ? m_capacity : -1.0;
    const auto c1 = static_cast<unsigned>(m_connect[0]);
    const auto c2 = static_cast<unsigned>(m_connect[1]);
    switch (m_type) {
    case Source: {
        const unsigned n = RegisterNode(-1);
        model.AddSupply(0, n, capacity);
        model.AddBreaker(n, c1, capacity);
        break;
    }
    case Load: {
        const auto result =
            model.AddLoad(m_name, c1, 1, static_cast<unsigned>(m_customers), m_profile, m_average, m_peak);
        // A profile of zeros has no shape to scale to the average or peak.
        if (result == CSimulation::LoadResult::NothingToScale)
            Error("the \"profile\" attribute of the load \"" + m_name +
                  "\" must hold a number above 0 to be scaled to its average or peak");
        if (result == CSimulation::LoadResult::BeyondAnyNetwork)
            Error("the load \"" + m_name +
                  "\" demands more than any network can carry: its scaled peak, added to the peaks of the loads "
                  "before it, must not exceed 1e15");
        break;
    }
    case Breaker:
        model.AddBreaker(c1, c2, capacity);
        break;
    case Fuse:
        if (m_fuses)
            model.AddBreaker(c1, c2, capacity);
        else
            AddPerfectConductor(c1, c2, capacity);
        break;
    case Isolator:
        if (m_isolators)
            model.AddIsolator(c1, c2, capacity);
        else
            AddPerfectConductor(c1, c2, capacity);
        break;
    case Equipment:
        model.AddEquipment(c1, c2, capacity, m_failure[0], m_failure[1], m_isolation[0], m_isolation[1], m_repair[0],
                           m_repair[1]);
        break;
    case Line:
        model.AddLine(c1, c2, capacity, m_failure[0] * m_length, m_failure[1], m_isolation[0], m_isolation[1],
                      m_repair[0], m_repair[1]);
        break;
    case Recloser:
        // A disabled recloser joins its two sides, as disabled fuses and isolators do.
        if (!m_reclosers) {
            AddPerfectConductor(c1, c2, capacity);
            break;
        }
        {
            const unsigned a = RegisterNode(-1);
            const unsigned b = RegisterNode(-1);
            model.AddBreaker(c1, a, capacity);
            model.AddRecloser(a, b, capacity, m_reclose[0], m_reclose[1]);
            model.AddBreaker(b, c2, capacity);
        }
        break;
    default:
        break;
    }
}
