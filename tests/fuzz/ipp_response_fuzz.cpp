// A printer's IPP response, whatever bytes it holds: the reader either refuses
// it with a reason or gives a message that encodes back to the bytes it read,
// and it never reads past the input, recurses without bound or keeps more
// values than its limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "print/ipp_message.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvox::ipp;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    DecodeLimits limits;
    limits.maxValues = 4096;
    const DecodeResult r = decode(input, limits);
    if (!r.message) {
        if (r.error.empty()) std::abort();
        return 0;
    }
    if (r.used > size) std::abort();
    for (const Group& g : r.message->groups)
        for (const Attribute& a : g.attributes)
            for (const Value& v : a.values) (void)describe(v);
    // What was read encodes again and reads the same: re-encoding normalises
    // (values with a language lose it, out-of-band values lose their bytes), so
    // the second round must be a fixed point.
    if (const auto again = encode(*r.message)) {
        const DecodeResult r2 = decode(*again, limits);
        if (!r2.message || encode(*r2.message) != again) std::abort();
    }
    return 0;
}
