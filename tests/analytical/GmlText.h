// Writes GML texts for the analytical tests in the generator's own form, node by node and edge by
// edge; Text() adds the terminal node and one terminal edge per load.
#pragma once

#include <string>
#include <vector>

#include "platform/NumberFormat.h"

class GmlText {
public:
    enum Switch { None = 0, Fuse = 1, Isolator = 2, Breaker = 3 };
    static constexpr int kMain = 1;
    static constexpr int kLateral = 2;

    GmlText& Supply(int node) { return Node(node, "component_id 2\n"); }
    GmlText& Junction(int node) { return Node(node, "component_id 3\n"); }
    GmlText& Load(int node, int loadId, int customers, double load)
    {
        m_loads.push_back(node);
        return Node(node, "component_id 1\nload_id " + I(loadId) + "\nnum_customers " + I(customers) + "\nload " +
                              R(load) + "\n");
    }

    // A main or lateral feeder; a fault rate a mile, a repair time in hours, a length in miles.
    GmlText& Feeder(int source, int target, int type, int id, double faultRate, double repairTime, double length,
                    double capacity, Switch sw = None, double switchTime = 0.0)
    {
        std::string r = "source " + I(source) + "\ntarget " + I(target) + "\nfeeder_type_id " + I(type) + "\n" +
                        (type == kMain ? "main_feeder_id " : "lat_feeder_id ") + I(id) + "\nfault_rate " +
                        R(faultRate) + "\nrepair_time " + R(repairTime) + "\nlength " + R(length) + "\nmax_cap " +
                        R(capacity) + "\nswitch_id " + I(sw) + "\n";
        if (sw == Isolator)
            r += "switch_time " + R(switchTime) + "\n";
        return Edge(r + "trans_id 0\n");
    }
    // A normally open tie through a recloser, of 10000000 kVA unless `capacity` says otherwise.
    GmlText& Tie(int source, int target, int id, double reclTime, double capacity = -1.0)
    {
        return Edge("source " + I(source) + "\ntarget " + I(target) + "\nfeeder_type_id 3\nrecl_feeder_id " + I(id) +
                    "\nlength 0.0000\nmax_cap " + (capacity < 0.0 ? "10000000." : R(capacity)) +
                    "\nswitch_id 4\nrecl_time " + R(reclTime) + "\ntrans_id 0\n");
    }

    std::string Text(int terminal = 999) const
    {
        std::string text = "graph [\ndirected 1\n" + m_nodes + "node\n[\nid " + I(terminal) + "\ncomponent_id 4\n]\n";
        text += m_edges;
        for (std::size_t k = 0; k < m_loads.size(); ++k)
            text += "edge\n[\nsource " + I(m_loads[k]) + "\ntarget " + I(terminal) + "\nfeeder_type_id 1\n" +
                    "main_feeder_id " + I(1000 + static_cast<int>(k)) +
                    "\nfault_rate 0\nrepair_time 0\nlength 0\nmax_cap 10000000.\nswitch_id 0\ntrans_id 0\n]\n";
        return text + "]\n";
    }

private:
    static std::string I(long long v) { return korvane::FormatInt(v); }
    static std::string R(double v) { return korvane::FormatFixed4(v); }
    GmlText& Node(int id, const std::string& rest)
    {
        m_nodes += "node\n[\nid " + I(id) + "\n" + rest + "]\n";
        return *this;
    }
    GmlText& Edge(const std::string& lines)
    {
        m_edges += "edge\n[\n" + lines + "]\n";
        return *this;
    }

    std::string m_nodes;
    std::string m_edges;
    std::vector<int> m_loads;
};
