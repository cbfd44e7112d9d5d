// The node components of the analytical graph: the base, the supply and terminal (ASource) and
// the junction (ALineConnection); load points are ALoad.
#pragma once

#include <ostream>
#include <vector>

class CGMLResult;

// What one fault did to one load point: hours without supply, hours shed, the capacity it was
// shed at, and the load's id.
struct AOutageRecord {
    double timeNotConnected = 0.0;
    double timeLoadShed = 0.0;
    double capacityLoadShed = 0.0;
    int id = 0;
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
    AComponent() = default;
    explicit AComponent(int id) : id(id) {}
    virtual ~AComponent() = default;
    AComponent(const AComponent&) = delete;
    AComponent& operator=(const AComponent&) = delete;

    bool isConnected() const { return connected; }
    int getId() const { return id; }
    // When, in the current fault, the component last had supply again (0 when never dark).
    double getRestoredAt() const { return restoredAt; }

    virtual void print(std::ostream& out) const = 0;
    // Switched off or on `now` hours into the fault; only a change of state counts.
    virtual void disconnect(double now) { connected = false; }
    virtual void connect(double now)
    {
        if (!connected)
            restoredAt = now;
        connected = true;
    }
    virtual bool isLoad() const { return false; }
    // The supply and the terminal sink, known by their kind (a load's id may be 0 too).
    virtual bool isSupply() const { return false; }
    virtual bool isTerminal() const { return false; }
    bool isVisited() const { return visited; }
    void setVisited() { visited = true; }
    void clearVisited() { visited = false; }
    // After each fault: not visited, connected.
    virtual void reset()
    {
        visited = false;
        connected = true;
    }
    // Between faults: forget what the last one did (times and flags).
    virtual void clearFaultState() { restoredAt = 0.0; }
    // A supplied load that `capacity` leaves short of its demand is shed from `now` on.
    virtual void recordLoadShed(double capacity, double now) {}
    // What the fault has done so far, `now` hours into it.
    virtual AOutageRecord getOutageRecord(double now) const { return AOutageRecord{0.0, 0.0, 0.0, id}; }
    // Files this component's record of one fault of a feeder with the failure rate.
    virtual void addFaultRecord(const AOutageRecord& record, double failureRate) {}
    // Writes the totals to `out` when it is given and appends a result record to `results` when given.
    virtual void printTotals(std::ostream* out, std::vector<CGMLResult>* results) const {}
    virtual int getCustomers() const { return 0; }
    virtual double getTotalOutageRate() const { return 0.0; }
    virtual double getTotalUnavailability() const { return 0.0; }
    // The demand in kVA, with its fraction.
    virtual double getDemand() const { return 0.0; }
    virtual void setTransferred() {}
    virtual bool isTransferred() const { return false; }
    virtual AShedTotals getShedTotals() const { return {}; }

protected:
    bool connected = true;
    int id = 0;
    bool visited = false;
    double restoredAt = 0.0;
};

// The supply (id 0) or the terminal sink of all load points (id -1); neither is ever switched off.
class ASource : public AComponent {
public:
    static constexpr int kSupplyId = 0;
    static constexpr int kTerminalId = -1;

    explicit ASource(int id) : AComponent(id) {}
    ASource(double supplyValue, int id) : AComponent(id), supplyValue(supplyValue) {}

    void print(std::ostream& out) const override;
    void disconnect(double) override {}
    void connect(double) override {}
    bool isSupply() const override { return id == kSupplyId; }
    bool isTerminal() const override { return id == kTerminalId; }
    double getSupplyValue() const { return supplyValue; }
    void setSupplyValue(double value) { supplyValue = value; }

private:
    double supplyValue = 0.0;
};

// A junction of widget ends (and of bus bars). Its id is neither the supply's nor the sink's.
class ALineConnection : public AComponent {
public:
    static constexpr int kJunctionId = -2;

    ALineConnection() : AComponent(kJunctionId) {}
    explicit ALineConnection(int id) : AComponent(id) {}

    void print(std::ostream& out) const override;
};
