// The feeders on the edges of the analytical graph: main, lateral and reclosing (a normally open
// tie); each owns its switching device.
#pragma once

#include <memory>

#include "analytical/ASwitch.h"

class AFeeder {
public:
    virtual ~AFeeder() = default;
    AFeeder(const AFeeder&) = delete;
    AFeeder& operator=(const AFeeder&) = delete;

    virtual bool isLateral() const { return false; }
    virtual bool isMain() const { return false; }
    virtual bool isReclosing() const { return false; }
    virtual double getFailureRate() const { return 0.0; }
    virtual double getRepairTime() const { return 0.0; }

    void fault()
    {
        faulted = true;
        connected = false;
    }
    bool trip();
    bool openForIsolation();
    bool reclose();
    bool operate() { return sw->operate(); }
    double getSwitchingTime() const { return sw->getSwitchingTime(); }
    bool isSwitchOpen() const { return sw->isOpen(); }

    void connect() { connected = true; }
    void disconnect() { connected = false; }
    bool isConnected() const { return connected; }
    bool isFaulted() const { return faulted; }
    int getId() const { return id; }
    // What the maximum flow may send through it, as the run prepared it.
    double getCapacity() const { return capacity; }
    void setCapacity(double value) { capacity = value; }
    // The "max_cap" the text gives, which the preparations leave alone.
    double getMaxCapacity() const { return maxCapacity; }

    // Back to the state it was read in: not faulted, a recloser open and its feeder disconnected,
    // every other switch closed and its feeder connected.
    void reset();

protected:
    // A switch that recloses (a recloser) starts open with its feeder disconnected.
    AFeeder(double capacity, std::unique_ptr<ASwitch> sw, int id);

    std::unique_ptr<ASwitch> sw;
    double capacity;  // kVA given to the maximum flow
    double maxCapacity;  // kVA
    int id;
    bool faulted = false;
    bool connected = true;
};

// A main or lateral feeder: its failure rate is its fault rate a mile times its length.
class ARatedFeeder : public AFeeder {
public:
    double getFailureRate() const override { return failureRate; }
    double getRepairTime() const override { return repairTime; }

protected:
    ARatedFeeder(double capacity, double length, std::unique_ptr<ASwitch> sw, int id, double faultRate,
                 double repairTime)
        : AFeeder(capacity, std::move(sw), id), repairTime(repairTime), failureRate(faultRate * length)
    {
    }

    double repairTime;   // hours
    double failureRate;  // faults a year
};

class AMainF : public ARatedFeeder {
public:
    AMainF(double capacity, double length, std::unique_ptr<ASwitch> sw, int id, double faultRate, double repairTime)
        : ARatedFeeder(capacity, length, std::move(sw), id, faultRate, repairTime)
    {
    }
    bool isMain() const override { return true; }
};

class ALateralFeeder : public ARatedFeeder {
public:
    ALateralFeeder(double capacity, double length, std::unique_ptr<ASwitch> sw, int id, double faultRate,
                   double repairTime)
        : ARatedFeeder(capacity, length, std::move(sw), id, faultRate, repairTime)
    {
    }
    bool isLateral() const override { return true; }
};

// A tie through a normally open recloser; it never fails.
class AReclfeeder : public AFeeder {
public:
    AReclfeeder(double capacity, std::unique_ptr<ASwitch> sw, int id) : AFeeder(capacity, std::move(sw), id) {}
    bool isReclosing() const override { return true; }
};
