#include "FuzzRequire.h"

#include "runtime/UserDefaultsFormat.h"

#include <cstddef>
#include <cstdint>

using vantora::testing::fuzzRequire;

// A settings file as it may be found on disk: anything at all. Whatever reads must be
// written back and read again unchanged and undamaged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace vantora::runtime;
    const DecodedDefaults decoded =
        decodeDefaults(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    fuzzRequire(!decoded.unreadable || decoded.values.isEmpty(), "an unreadable file yields no values");
    const DecodedDefaults again = decodeDefaults(encodeDefaults(decoded.values));
    fuzzRequire(!again.isDamaged(), "what we write reads back undamaged");
    fuzzRequire(again.values == decoded.values, "what we write reads back unchanged");
    return 0;
}
