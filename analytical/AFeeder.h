// The feeders on the edges of the analytical graph: main, lateral and reclosing (a normally open
// tie); each owns its switching device and, optionally, a transformer.
#pragma once

#include <memory>
#include <ostream>

#include "analytical/ASwitch.h"

class AFeeder {
public:
    virtual ~AFeeder() = default;
    AFeeder(const AFeeder&) = delete;
    AFeeder& operator=(const AFeeder&) = delete;

    virtual bool isLateral() const { return false; }
    virtual bool isMain() const { return false; }
    virtual bool isReclosing() const { return false; }
    virtual void print(std::ostream& out) const;
    virtual double getFailureRate() const { return 0.0; }
    virtual double getRepairTime() const { return 0.0; }

    void fault()
    {
        faulted = true;
        connected = false;
        everFaulted = true;
    }
    bool trip();
    bool openForIsolation();
    bool reclose();
    bool operate() { return sw->operate(); }
    bool isProtective() const { return sw->isProtective(); }
    double getSwitchingTime() const { return sw->getSwitchingTime(); }
    bool isSwitchOpen() const { return sw->isOpen(); }
    void closeSwitch() { sw->close(); }

    void connect() { connected = true; }
    void disconnect() { connected = false; }
    bool isConnected() const { return connected; }
    bool isFaulted() const { return faulted; }
    int getId() const { return id; }
    double getCapacity() const { return capacity; }
    void zeroCapacity() { capacity = 0.0; }
    // Sets the capacity and the rated capacity it returns to on reset.
    void setCapacity(double value) { capacity = ratedCapacity = value; }
    double getLength() const { return length; }
    bool hasTransformer() const { return transformer != nullptr; }
    double getTransformerOutageRate() const { return transformer ? transformer->getOutageRate() : 0.0; }
    double getTransformerRepairTime() const { return transformer ? transformer->getRepairTime() : 0.0; }
    bool wasFaulted() const { return everFaulted; }
    const ASwitch& getSwitch() const { return *sw; }

    // Back to the state it was read in: not faulted, a recloser open and its feeder disconnected,
    // every other switch closed and its feeder connected, the rated capacity.
    void reset();

protected:
    // A switch that recloses (a recloser) starts open with its feeder disconnected.
    AFeeder(double capacity, double length, std::unique_ptr<ASwitch> sw, std::unique_ptr<ATransformer> transformer,
            int id);
    void printCommon(std::ostream& out) const;

    std::unique_ptr<ASwitch> sw;
    std::unique_ptr<ATransformer> transformer;
    double capacity;  // kVA given to the maximum flow; 0 while disconnected in a fault
    double length;    // miles
    int id;
    bool faulted = false;
    bool connected = true;
    double ratedCapacity;
    bool everFaulted = false;
};

// A main or lateral feeder: its failure rate is its fault rate a mile times its length.
class ARatedFeeder : public AFeeder {
public:
    double getFailureRate() const override { return failureRate; }
    double getRepairTime() const override { return repairTime; }
    double getFaultRate() const { return faultRate; }

protected:
    ARatedFeeder(double capacity, double length, std::unique_ptr<ASwitch> sw, std::unique_ptr<ATransformer> transformer,
                 int id, double faultRate, double repairTime)
        : AFeeder(capacity, length, std::move(sw), std::move(transformer), id),
          faultRate(faultRate),
          repairTime(repairTime),
          failureRate(faultRate * length)
    {
    }

    double faultRate;   // faults a year and mile
    double repairTime;  // hours
    double failureRate; // faults a year
};

class AMainF : public ARatedFeeder {
public:
    AMainF(double capacity, double length, std::unique_ptr<ASwitch> sw, std::unique_ptr<ATransformer> transformer,
           int id, double faultRate, double repairTime)
        : ARatedFeeder(capacity, length, std::move(sw), std::move(transformer), id, faultRate, repairTime)
    {
    }
    bool isMain() const override { return true; }
    void print(std::ostream& out) const override;
};

class ALateralFeeder : public ARatedFeeder {
public:
    ALateralFeeder(double capacity, double length, std::unique_ptr<ASwitch> sw,
                   std::unique_ptr<ATransformer> transformer, int id, double faultRate, double repairTime)
        : ARatedFeeder(capacity, length, std::move(sw), std::move(transformer), id, faultRate, repairTime)
    {
    }
    bool isLateral() const override { return true; }
    void print(std::ostream& out) const override;
};

// A tie through a normally open recloser; it never fails.
class AReclfeeder : public AFeeder {
public:
    AReclfeeder(double capacity, double length, std::unique_ptr<ASwitch> sw, std::unique_ptr<ATransformer> transformer,
                int id)
        : AFeeder(capacity, length, std::move(sw), std::move(transformer), id)
    {
    }
    bool isReclosing() const override { return true; }
    void print(std::ostream& out) const override;
};
