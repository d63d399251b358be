#include "ResourceListProbe.h"

#include "runtime/Errors.h"

#include <cstddef>
#include <cstdint>

// Any exception but a DecodingError escapes and is reported as a crash.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        vantora::testing::probeResourceListReply(
            QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const vantora::runtime::DecodingError &) {
    }
    return 0;
}
