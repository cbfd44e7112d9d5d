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

// A fault that left a load point short of capacity after it was supplied again.
struct AShedRecord {
    double timeLoadShed = 0.0;     // hours
    double capacityLoadShed = 0.0; // kVA it was shed at
    double failureRate = 0.0;      // of the faulted feeder, a year
    int feederId = 0;
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

    virtual void print(std::ostream& out) const = 0;
    virtual void disconnect() { connected = false; }
    virtual void connect() { connected = true; }
    virtual bool isLoad() const { return false; }
    // The supply and the terminal sink, known by their kind (a load's id may be 0 too).
    virtual bool isSupply() const { return false; }
    virtual bool isTerminal() const { return false; }
    virtual void advanceTime(double dt) {}
    bool isVisited() const { return visited; }
    void setVisited() { visited = true; }
    void clearVisited() { visited = false; }
    // After each fault: not visited, connected.
    virtual void reset()
    {
        visited = false;
        connected = true;
    }
    // Before each fault: forget what the previous fault did (a load's clock, times and flags).
    virtual void clearFaultState() {}
    virtual void recordLoadShed(double capacity) {}
    virtual AOutageRecord getOutageRecord() const { return AOutageRecord{0.0, 0.0, 0.0, id}; }
    // Files this component's record of one fault of the feeder with the failure rate and id.
    virtual void addFaultRecord(const AOutageRecord& record, double failureRate, int feederId) {}
    // Writes the totals to `out` when it is given and appends a result record to `results` when given.
    virtual void printTotals(std::ostream* out, std::vector<CGMLResult>* results) const {}
    virtual void printFaultRecords(std::ostream& out) const {}
    virtual int getCustomers() const { return 0; }
    virtual double getTotalOutageRate() const { return 0.0; }
    virtual double getTotalUnavailability() const { return 0.0; }
    // The demand in kVA, with its fraction.
    virtual double getDemand() const { return 0.0; }
    virtual void setTransferred() {}
    virtual bool isTransferred() const { return false; }
    virtual const std::vector<AShedRecord>& getShedRecords() const;

protected:
    bool connected = true;
    int id = 0;
    bool visited = false;
};

// The supply (id 0) or the terminal sink of all load points (id -1); neither is ever switched off.
class ASource : public AComponent {
public:
    static constexpr int kSupplyId = 0;
    static constexpr int kTerminalId = -1;

    explicit ASource(int id) : AComponent(id) {}
    ASource(double supplyValue, int id) : AComponent(id), supplyValue(supplyValue) {}

    void print(std::ostream& out) const override;
    void disconnect() override {}
    void connect() override {}
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
