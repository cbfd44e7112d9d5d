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
    void disconnect() override;
    void connect() override;
    bool isLoad() const override { return true; }
    void advanceTime(double dt) override { time += dt; }
    void clearFaultState() override;
    void recordLoadShed(double capacity) override;
    AOutageRecord getOutageRecord() const override;
    void addFaultRecord(const AOutageRecord& record, double failureRate, int feederId) override;
    void printTotals(std::ostream* out, std::vector<CGMLResult>* results) const override;
    void printFaultRecords(std::ostream& out) const override;
    int getCustomers() const override { return customers; }
    double getTotalOutageRate() const override { return totalOutageRate; }
    double getTotalUnavailability() const override { return totalUnavailability; }
    double getDemand() const override { return load; }
    void setTransferred() override { transferred = true; }
    bool isTransferred() const override { return transferred; }
    const std::vector<AShedRecord>& getShedRecords() const override { return shedRecords; }
    double getTotalTimeNotConnected() const { return totalTimeNotConnected; }

private:
    int customers = 0;
    double time = 0.0;  // hours into the current fault
    double load = 0.0;  // kVA
    double timeNotConnected = 0.0;
    double disconnectTime = 0.0;
    double connectTime = 0.0;  // of the last return to supply in this fault
    double timeLoadShed = 0.0;
    double shedTime = 0.0;
    double capacityLoadShed = 0.0;
    bool shed = false;
    bool transferred = false;
    double totalTimeNotConnected = 0.0;
    double totalOutageRate = 0.0;     // a year
    double totalUnavailability = 0.0; // hours a year
    std::vector<AShedRecord> shedRecords;
};
