#include "analytical/AComponent.h"


void ASource::print(std::ostream& out) const
{
    out << "This is a Source.\n";
}

void ALineConnection::print(std::ostream& out) const
{
    out << "This is a Line Connection.\n";
}
