#include "analytical/ALoad.h"

void ALoad::disconnect(double now)
{
    if (!connected)
        return;
    disconnectTime = now;
    connected = false;
}

void ALoad::connect(double now)
{
    if (connected)
        return;
    timeNotConnected += now - disconnectTime;
    restoredAt = now;
    connected = true;
}

void ALoad::reset()
{
    AComponent::reset();
    timeNotConnected = 0.0;
    disconnectTime = 0.0;
    shedTime = 0.0;
    capacityLoadShed = 0.0;
    shed = false;
    transferred = false;
}

bool ALoad::recordLoadShed(double capacity, double now)
{
    // Flows are sums of capacities: allow for the last bits of rounding before calling a load short.
    const double tolerance = 1e-9 * (load > 1.0 ? load : 1.0);
    if (!connected || shed || !(capacity < load - tolerance))
        return false;
    // A load restored above the fault after the back-feed's moment is short only from its return.
    shedTime = now > restoredAt ? now : restoredAt;
    capacityLoadShed = capacity;
    shed = true;
    return true;
}

AOutageRecord ALoad::getOutageRecord(double now) const
{
    AOutageRecord record{timeNotConnected, 0.0, capacityLoadShed};
    if (shed)
        record.timeLoadShed = now - shedTime;
    if (!connected)
        record.timeNotConnected += now - disconnectTime;
    return record;
}

void ALoad::addFaultRecord(const AOutageRecord& record, double failureRate)
{
    totalTimeNotConnected += record.timeNotConnected;
    if (record.timeNotConnected > 0.0)
        totalOutageRate += failureRate;
    totalUnavailability += record.timeNotConnected * failureRate;
    if (record.timeLoadShed > 0.0) {
        shedTotals.rate += failureRate;
        shedTotals.hours += record.timeLoadShed * failureRate;
        shedTotals.energy += (load - record.capacityLoadShed) * record.timeLoadShed * failureRate;
    }
}

void ALoad::printTotals(std::vector<CGMLResult>& results) const
{
    results.emplace_back(id, totalTimeNotConnected, totalOutageRate, totalUnavailability);
}
