#include "model/Transformer.h"

KORVANE_IMPLEMENT_SERIAL(CTransformer, 1)

std::unique_ptr<CWidget> CTransformer::Clone() const
{
    auto copy = std::make_unique<CTransformer>(*this);
    copy->ResetNodeNumbers();
    copy->ResetFeederIds();
    return copy;
}
