#include "analytical/ASwitch.h"

void ABreaker::print(std::ostream& out) const
{
    out << "Circuit Breaker, ";
    printOpen(out);
}

void AFuse::print(std::ostream& out) const
{
    out << "Fuse, ";
    printOpen(out);
}

void AIsolator::print(std::ostream& out) const
{
    out << "Isolator, ";
    printOpen(out);
}

void ANoSwitch::print(std::ostream& out) const
{
    out << "No Switch, ";
    printOpen(out);
}

void ARecloser::print(std::ostream& out) const
{
    out << "Recloser, ";
    printOpen(out);
}
