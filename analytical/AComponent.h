// The node components of the analytical graph: the base, the supply and terminal (ASource) and
// the junction (ALineConnection); load points are ALoad.
#pragma once

// What one fault did to one load point: hours without supply, hours shed, and the capacity it was
// shed at.
struct AOutageRecord {
    double timeNotConnected = 0.0;
    double timeLoadShed = 0.0;
    double capacityLoadShed = 0.0;
};

// What the shortages after back-feeds cost one load point over the faults of a run, each shortage
// of t hours at s kVA in a fault of f a year counted as f, t x f and (demand - s) x t x f.
struct AShedTotals {
    double rate = 0.0;    // a year
    double hours = 0.0;   // a year
    double energy = 0.0;  // kVAh a year
};

class AComponent {
public:
    explicit AComponent(int id) : id(id) {}
    virtual ~AComponent() = default;
    AComponent(const AComponent&) = delete;
    AComponent& operator=(const AComponent&) = delete;

    bool isConnected() const { return connected; }
    int getId() const { return id; }
    // When, in the current fault, the component last had supply again (0 when never dark).
    double getRestoredAt() const { return restoredAt; }

    // Switched off or on `now` hours into the fault; only a change of state counts.
    virtual void disconnect(double /*now*/) { connected = false; }
    virtual void connect(double now)
    {
        if (!connected)
            restoredAt = now;
        connected = true;
    }
    // A load point (an ALoad).
    virtual bool isLoad() const { return false; }
    // Between faults: connected, and nothing of the last fault remembered.
    virtual void reset()
    {
        connected = true;
        restoredAt = 0.0;
    }
    // The demand in kVA, with its fraction.
    virtual double getDemand() const { return 0.0; }
    // Fed again through a tie in this fault.
    virtual void setTransferred() {}

protected:
    bool connected = true;
    int id;
    double restoredAt = 0.0;
};

// The supply (id 0) or the terminal sink of all load points (id -1); neither is ever switched off.
class ASource : public AComponent {
public:
    static constexpr int kSupplyId = 0;
    static constexpr int kTerminalId = -1;

    explicit ASource(int id) : AComponent(id) {}
    void disconnect(double) override {}
    void connect(double) override {}
};

// A junction of widget ends (and of bus bars). Its id is neither the supply's nor the sink's.
class ALineConnection : public AComponent {
public:
    static constexpr int kJunctionId = -2;

    ALineConnection() : AComponent(kJunctionId) {}
};
