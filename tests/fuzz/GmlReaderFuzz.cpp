// Hostile GML text in: the five indices or a load error naming its line out, never a crash or an
// endless run.
#include <cstddef>
#include <cstdint>
#include <string>

#include "analytical/AnalyticalSimulator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int method : {0, 1}) {
        const CAnalyticalResult result = CAnalyticalSimulator().Run(text, method, method, 1 << 20);
        if (result.ok == result.error.empty() && result.ok != result.message.empty())
            continue;
        __builtin_trap();  // a result must be either indices or an error
    }
    return 0;
}
