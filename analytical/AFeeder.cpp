#include "analytical/AFeeder.h"

AFeeder::AFeeder(double capacity, std::unique_ptr<ASwitch> sw, int id)
    : sw(std::move(sw)), capacity(capacity), maxCapacity(capacity), id(id)
{
    if (this->sw->reclose()) {
        this->sw->operate();
        connected = false;
    }
}

bool AFeeder::trip()
{
    const bool tripped = sw->tripOnFault();
    if (tripped)
        connected = false;
    return tripped;
}

bool AFeeder::openForIsolation()
{
    const bool opened = sw->openForIsolation();
    if (opened)
        connected = false;
    return opened;
}

bool AFeeder::reclose()
{
    const bool closed = sw->reclose();
    if (closed)
        connected = true;
    return closed;
}

void AFeeder::reset()
{
    faulted = false;
    if (sw->reclose()) {
        connected = false;
        sw->operate();
    } else {
        sw->close();
        connected = true;
    }
}
