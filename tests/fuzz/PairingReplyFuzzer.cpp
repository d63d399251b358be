#include "bridge/HueError.h"
#include "bridge/HueReplyDecoder.h"
#include "runtime/Errors.h"

#include <cstddef>
#include <cstdint>

// What the bridge answers to a pairing request, read as the client reads it. Only the
// decoding error and the bridge's own refusals may end it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        vantora::HueReplyDecoder()
            .pairingReply(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)))
            .applicationKey();
    } catch (const vantora::runtime::DecodingError &) {
    } catch (const vantora::HueError &) {
    }
    return 0;
}
