// The switching devices a feeder carries; each class decides how it answers a fault, an isolation
// request and a reclose request.
#pragma once

#include <ostream>

class ASwitch {
public:
    virtual ~ASwitch() = default;

    // A protective device opens on a fault through it and says so.
    virtual bool tripOnFault() { return false; }
    virtual bool isProtective() const { return false; }
    // Operated by hand or remote control; true when the device can be.
    virtual bool operate() { return false; }
    virtual bool openForIsolation() { return false; }
    virtual bool reclose() { return false; }
    virtual double getSwitchingTime() const { return 0.0; }
    virtual void print(std::ostream& out) const = 0;

    bool isOpen() const { return open; }
    void close() { open = false; }

protected:
    explicit ASwitch(bool open = false) : open(open) {}
    void printOpen(std::ostream& out) const { out << "Open = " << open << '\n'; }

    bool open;
};

class ABreaker : public ASwitch {
public:
    bool tripOnFault() override { return open = true; }
    bool isProtective() const override { return true; }
    bool operate() override
    {
        open = !open;
        return true;
    }
    void print(std::ostream& out) const override;
};

class AFuse : public ASwitch {
public:
    bool tripOnFault() override { return open = true; }
    bool isProtective() const override { return true; }
    void print(std::ostream& out) const override;
};

class AIsolator : public ASwitch {
public:
    explicit AIsolator(double switchingTime) : switchingTime(switchingTime) {}
    bool operate() override
    {
        open = !open;
        return true;
    }
    bool openForIsolation() override { return open = true; }
    double getSwitchingTime() const override { return switchingTime; }
    void print(std::ostream& out) const override;

private:
    double switchingTime;  // hours
};

class ANoSwitch : public ASwitch {
public:
    void print(std::ostream& out) const override;
};

// Normally open: it closes a tie between feeders after its reclosing time.
class ARecloser : public ASwitch {
public:
    explicit ARecloser(double switchingTime) : ASwitch(true), switchingTime(switchingTime) {}
    bool operate() override { return open = true; }
    bool reclose() override
    {
        close();
        return true;
    }
    double getSwitchingTime() const override { return switchingTime; }
    void print(std::ostream& out) const override;

private:
    double switchingTime;  // hours
};

// The transformer (or other equipment) of a feeder: its own outage rate and repair time.
class ATransformer {
public:
    ATransformer() = default;
    ATransformer(double outageRate, double repairTime) : outageRate(outageRate), repairTime(repairTime) {}
    double getOutageRate() const { return outageRate; }
    double getRepairTime() const { return repairTime; }

private:
    double outageRate = 0.0;
    double repairTime = 0.0;
};
