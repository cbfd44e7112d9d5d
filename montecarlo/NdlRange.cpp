#include "montecarlo/NdlRange.h"

#include <cmath>

#include "platform/NumberFormat.h"

bool CNdlRange::Accepts(double x) const
{
    switch (kind) {
    case Kind::Integer: {
        const double r = std::floor(x + 0.5);
        return std::fabs(r - x) <= 1e-8 && r >= min && r <= max;
    }
    case Kind::Positive: return x > 0.0;
    case Kind::NonNegative: return x >= 0.0;
    case Kind::Flag: return x == 0.0 || x == 1.0;
    }
    return false;
}

std::string CNdlRange::Describe() const
{
    switch (kind) {
    case Kind::Integer: return "an integer from " + korvane::FormatInt(min) + " to " + korvane::FormatInt(max);
    case Kind::Positive: return "a number above 0";
    case Kind::NonNegative: return "a number of at least 0";
    case Kind::Flag: return "0 or 1";
    }
    return {};
}
