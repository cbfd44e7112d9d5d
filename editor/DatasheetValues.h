// The values the datasheet pages show and edit, one record per page kind; the sheet fills them
// from a widget and writes them back (a cleared flag stands for the unset value).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Monte Carlo page of the feeder, the equipment and the transformer.
struct CLineEquipmentValues {
    std::string m_strNotes;
    bool m_bCapacity = false;
    bool m_bFailure1 = false;
    bool m_bFailure2 = false;
    bool m_bIsolation1 = false;
    bool m_bIsolation2 = false;
    bool m_bLength = false;
    bool m_bRepair1 = false;
    bool m_bRepair2 = false;
    double m_dCapacity = 0.0;
    double m_dFailure1 = 0.0;
    double m_dFailure2 = 0.0;
    double m_dIsolation1 = 0.0;
    double m_dIsolation2 = 0.0;
    double m_dLength = 0.0;
    double m_dRepair1 = 0.0;
    double m_dRepair2 = 0.0;
};

// Monte Carlo page of the circuit breaker, the fuse, the isolator and the gen source.
struct CComponentValues {
    std::string m_strNotes;
    bool m_bCapacity = false;
    double m_dCapacity = 0.0;
};

// Monte Carlo page of the recloser.
struct CRecloserValues {
    std::string m_strNotes;
    bool m_bCapacity = false;
    bool m_bReclose1 = false;
    bool m_bReclose2 = false;
    double m_dCapacity = 0.0;
    double m_dReclose1 = 0.0;
    double m_dReclose2 = 0.0;
};

// Monte Carlo page of the load point; the profile is a copy that reaches the widget only when
// m_bProfile is set.
struct CLoadPointValues {
    std::string m_strNotes;
    std::string m_strName;
    std::int32_t m_nCustomers = 0;
    bool m_bAverage = false;
    bool m_bProfile = false;
    bool m_bName = false;
    bool m_bPeak = false;
    bool m_bCustomers = false;
    double m_dPeak = 0.0;
    double m_dAverage = 0.0;
    std::vector<double> m_profile;
};

// Analytical page of the six feeder-type widgets (feeder, circuit breaker, fuse, isolator,
// equipment, transformer); each page shows the fields its widget has.
struct CAnalyticalFeederValues {
    std::int32_t m_nFeederType = 0;  // 1 main feeder, any other value lateral
    std::string m_strNotes;
    double m_dFaultRate = 0.0;
    double m_dFeederLength = 0.0;
    double m_dMaxCapacity = 0.0;
    double m_dRepairTime = 0.0;
    double m_dSwitchTime = 0.0;       // isolator
    double m_dTransRepairTime = 0.0;  // equipment, transformer
    double m_dTransOutageRate = 0.0;  // equipment, transformer
};

// Analytical page of the recloser.
struct CAnalyticalRecloserValues {
    std::string m_strNotes;
    double m_dFeederLength = 0.0;
    double m_dReclTime = 0.0;
};

// Analytical page of the load point. The load class is shown, not stored; a class can be
// chosen only when the document names its clustered data file.
struct CAnalyticalLoadPointValues {
    std::string m_strLoadClass;
    bool m_bAgriculturalEnabled = true;
    bool m_bIndustrialEnabled = true;
    bool m_bResidentialEnabled = true;
    bool m_bOtherEnabled = true;
    std::string m_strNotes;
    double m_dLoad = 0.0;
    std::int32_t m_nNumCustomers = 0;
};
