#include "model/CircuitBreaker.h"

KORVANE_IMPLEMENT_SERIAL(CCircuitBreaker, 1)

std::unique_ptr<CWidget> CCircuitBreaker::Clone() const
{
    auto copy = std::make_unique<CCircuitBreaker>(*this);
    copy->ResetNodeNumbers();
    copy->ResetFeederIds();
    return copy;
}
