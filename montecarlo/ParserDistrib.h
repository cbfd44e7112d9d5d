// Gives NDL text its meaning: checks every keyword and value, keeps the defaults, maps NDL node
// numbers to model nodes and builds each finished definition into the simulation model.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "montecarlo/NdlRange.h"
#include "montecarlo/ParserSyntax.h"

class CSimulation;

class CParserDistrib : public CParserSyntax {
public:
    // Type codes of the definitions.
    enum Type { System = 0, Source, Load, Breaker, Fuse, Isolator, Equipment, Line, Recloser };

    // One parser reads one text: Parse, Run, Close.
    explicit CParserDistrib(COutput* output = nullptr) : CParserSyntax(output) {}

    // Parses every definition into `model`, which Init has prepared. True only when the whole text
    // parsed and it held a system definition; a text without one fails with no message.
    virtual bool Run(CSimulation* model);

    // Whether the reader takes a load's name: one without control characters, which would reach
    // the reports raw.
    static bool IsNameReadable(const std::string& name);
    // ASCII's control characters: 0 to 31 and 127.
    static bool IsControlCharacter(char c);
    // The length of the C1 control character (U+0080 to U+009F, two bytes in UTF-8) that starts at
    // `at`, or 0.
    static std::size_t ControlCharacterC1At(const std::string& text, std::size_t at);

protected:
    void OnTypeKeyword(const std::string& keyword) override;
    void OnEndOfDefinition() override;
    void OnAttribute(const std::string& keyword, const CAttributeValue& value) override;

private:
    void ResetSystem();
    void ResetComponent();
    void CheckValid(const std::string& keyword, int mask);
    // The value of a keyword that takes one number, once the keyword is valid in this definition.
    double GetSingleNumber(const std::string& keyword, int mask, const CAttributeValue& value);
    int GetInteger(const std::string& keyword, int mask, const CAttributeValue& value, const CNdlRange& range);
    double GetNumber(const std::string& keyword, int mask, const CAttributeValue& value, const CNdlRange& range);
    bool GetBool(const std::string& keyword, int mask, const CAttributeValue& value);
    void GetPair(const std::string& keyword, int mask, const CAttributeValue& value, double& first, double& second);
    int ToInteger(const std::string& keyword, double x, const CNdlRange& range);
    void SetName(const CAttributeValue& value);
    void SetConnect(const CAttributeValue& value);
    void SetProfile(const CAttributeValue& value);
    // The model node of an NDL node number, handed out from 2 upwards in order of first use;
    // -1 asks for a node that no NDL number names.
    unsigned RegisterNode(int ndlNode);
    void BuildComponent();
    void AddPerfectConductor(unsigned from, unsigned to, double capacity);

    CSimulation* m_pModel = nullptr;
    bool m_bSystemDefined = false;
    std::map<int, unsigned> m_nodeMap;
    unsigned m_nodesHandedOut = 0;

    int m_quantsPerDay = -1;
    int m_yearMin = 100;
    int m_yearMax = 1000000;
    int m_yearStep = 100;
    double m_accuracy = 0.05;
    bool m_fuses = true;
    bool m_isolators = true;
    bool m_reclosers = true;
    bool m_maxFlow = true;

    int m_type = System;
    std::string m_name;
    int m_connect[2] = {-1, -1};
    double m_capacity = -1.0;
    int m_customers = 1;
    double m_length = 1.0;
    double m_failure[2] = {1e-10, 1.0};
    double m_isolation[2] = {1e-10, 1.0};
    double m_repair[2] = {1e-10, 1.0};
    double m_reclose[2] = {1e-10, 1.0};
    std::vector<double> m_profile{1.0};
    double m_average = -1.0;
    double m_peak = -1.0;
};
