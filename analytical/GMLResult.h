// One load point's running totals after one fault of an analytical run.
#pragma once

class CGMLResult {
public:
    CGMLResult(int loadId, double timeNotConnected, double totalOutageRate, double totalUnavailability)
        : m_nLoadId(loadId),
          m_dTimeNotConnected(timeNotConnected),
          m_dTotalOutageRate(totalOutageRate),
          m_dTotalUnavailability(totalUnavailability)
    {
    }

    int m_nLoadId;
    double m_dTimeNotConnected;     // hours
    double m_dTotalOutageRate;      // outages a year
    double m_dTotalUnavailability;  // hours a year
};
