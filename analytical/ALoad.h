// A load point of the analytical graph: its customers and demand, its clock and state during a
// fault, and its totals over the faults of a run.
#pragma once

#include <vector>

#include "analytical/AComponent.h"

class ALoad : public AComponent {
public:
    ALoad(double load, int id, int customers) : AComponent(id), customers(customers), load(load) {}
    // A load point with an outage rate (a year) and repair time (hours) of its own, which its
    // totals start from.
    ALoad(double load, int id, int customers, double rate, double repairTime);

    void print(std::ostream& out) const override;
    // Only a change of state counts: a second disconnect keeps the first time.
    void disconnect(double now) override;
    void connect(double now) override;
    bool isLoad() const override { return true; }
    void clearFaultState() override;
    void recordLoadShed(double capacity, double now) override;
    AOutageRecord getOutageRecord(double now) const override;
    void addFaultRecord(const AOutageRecord& record, double failureRate) override;
    void printTotals(std::ostream* out, std::vector<CGMLResult>* results) const override;
    int getCustomers() const override { return customers; }
    double getTotalOutageRate() const override { return totalOutageRate; }
    double getTotalUnavailability() const override { return totalUnavailability; }
    double getDemand() const override { return load; }
    void setTransferred() override { transferred = true; }
    bool isTransferred() const override { return transferred; }
    AShedTotals getShedTotals() const override { return shedTotals; }
    double getTotalTimeNotConnected() const { return totalTimeNotConnected; }

private:
    int customers = 0;
    double load = 0.0;  // kVA
    // Of the current fault, in hours into it.
    double timeNotConnected = 0.0;
    double disconnectTime = 0.0;
    double timeLoadShed = 0.0;
    double shedTime = 0.0;
    double capacityLoadShed = 0.0;
    bool shed = false;
    bool transferred = false;
    double totalTimeNotConnected = 0.0;
    double totalOutageRate = 0.0;     // a year
    double totalUnavailability = 0.0; // hours a year
    AShedTotals shedTotals;
};
