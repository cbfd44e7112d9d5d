#include "analytical/AComponent.h"


const std::vector<AShedRecord>& AComponent::getShedRecords() const
{
    static const std::vector<AShedRecord> none;
    return none;
}

void ASource::print(std::ostream& out) const
{
    out << "This is a Source.\n";
}

void ALineConnection::print(std::ostream& out) const
{
    out << "This is a Line Connection.\n";
}
