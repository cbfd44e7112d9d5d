#include "model/Fuse.h"

KORVANE_IMPLEMENT_SERIAL(CFuse, 1)

std::unique_ptr<CWidget> CFuse::Clone() const
{
    auto copy = std::make_unique<CFuse>(*this);
    copy->ResetNodeNumbers();
    copy->ResetFeederIds();
    return copy;
}
