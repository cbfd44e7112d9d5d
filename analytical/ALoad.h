// A load point of the analytical graph: its customers and demand, its clock and state during a
// fault, and its totals over the faults of a run.
#pragma once

#include <vector>

#include "analytical/AComponent.h"
#include "analytical/GMLResult.h"

class ALoad : public AComponent {
public:
    ALoad(double load, int id, int customers) : AComponent(id), customers(customers), load(load) {}

    // Only a change of state counts: a second disconnect keeps the first time.
    void disconnect(double now) override;
    void connect(double now) override;
    bool isLoad() const override { return true; }
    void reset() override;
    double getDemand() const override { return load; }
    void setTransferred() override { transferred = true; }
    bool isTransferred() const { return transferred; }

    // A supplied load that `capacity` leaves short of its demand is shed from `now` on; true when
    // this call shed it.
    bool recordLoadShed(double capacity, double now);
    // What the fault has done so far, `now` hours into it.
    AOutageRecord getOutageRecord(double now) const;
    // Files the record of one fault of a feeder with the failure rate.
    void addFaultRecord(const AOutageRecord& record, double failureRate);
    // Appends the running totals to a run's records.
    void printTotals(std::vector<CGMLResult>& results) const;

    int getCustomers() const { return customers; }
    double getTotalOutageRate() const { return totalOutageRate; }
    double getTotalUnavailability() const { return totalUnavailability; }
    const AShedTotals& getShedTotals() const { return shedTotals; }

private:
    int customers = 0;
    double load = 0.0;  // kVA
    // Of the current fault, in hours into it.
    double timeNotConnected = 0.0;
    double disconnectTime = 0.0;
    double shedTime = 0.0;
    double capacityLoadShed = 0.0;
    bool shed = false;
    bool transferred = false;
    double totalTimeNotConnected = 0.0;
    double totalOutageRate = 0.0;     // a year
    double totalUnavailability = 0.0; // hours a year
    AShedTotals shedTotals;
};
