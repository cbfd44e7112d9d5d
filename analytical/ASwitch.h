// The switching devices a feeder carries; each class decides how it answers a fault, an isolation
// request and a reclose request.
#pragma once

class ASwitch {
public:
    virtual ~ASwitch() = default;

    // A protective device opens on a fault through it and says so.
    virtual bool tripOnFault() { return false; }
    // Operated by hand or remote control; true when the device can be.
    virtual bool operate() { return false; }
    virtual bool openForIsolation() { return false; }
    virtual bool reclose() { return false; }
    virtual double getSwitchingTime() const { return 0.0; }

    bool isOpen() const { return open; }
    void close() { open = false; }

protected:
    explicit ASwitch(bool open = false) : open(open) {}

    bool open;
};

class ABreaker : public ASwitch {
public:
    bool tripOnFault() override { return open = true; }
    bool operate() override
    {
        open = !open;
        return true;
    }
};

class AFuse : public ASwitch {
public:
    bool tripOnFault() override { return open = true; }
};

class AIsolator : public ASwitch {
public:
    explicit AIsolator(double switchingTime) : switchingTime(switchingTime) {}
    bool openForIsolation() override { return open = true; }
    double getSwitchingTime() const override { return switchingTime; }

private:
    double switchingTime;  // hours
};

class ANoSwitch : public ASwitch {};

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

private:
    double switchingTime;  // hours
};
