#include "analytical/AFeeder.h"

AFeeder::AFeeder(double capacity, double length, std::unique_ptr<ASwitch> sw, std::unique_ptr<ATransformer> transformer,
                 int id)
    : sw(std::move(sw)), transformer(std::move(transformer)), capacity(capacity), length(length), id(id),
      ratedCapacity(capacity)
{
    if (this->sw == nullptr)
        this->sw = std::make_unique<ANoSwitch>();
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
    capacity = ratedCapacity;
}

void AFeeder::printCommon(std::ostream& out) const
{
    out << ", length: " << length << "\tmax capacity: " << capacity << '\n'
        << "Faulted: " << faulted << '\n'
        << "Connected: " << connected << '\n'
        << "ID: " << id << '\n';
    sw->print(out);
}

void AFeeder::print(std::ostream& out) const
{
    out << "Feeder: ";
    printCommon(out);
}

void AMainF::print(std::ostream& out) const
{
    out << "Main Feeder: ";
    printCommon(out);
}

void ALateralFeeder::print(std::ostream& out) const
{
    out << "Lateral Feeder: ";
    printCommon(out);
}

void AReclfeeder::print(std::ostream& out) const
{
    out << "Reclosing Feeder: ";
    printCommon(out);
}
