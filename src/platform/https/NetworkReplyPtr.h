#pragma once

#include <QNetworkReply>

#include <memory>

namespace vantora::platform {

// Ends a request that is still running when its owner lets go. Deletion waits for the
// event loop: the reply may be in the middle of emitting a signal.
struct AbortAndDeleteLater {
    void operator()(QNetworkReply *reply) const
    {
        reply->abort();
        reply->deleteLater();
    }
};

using NetworkReplyPtr = std::unique_ptr<QNetworkReply, AbortAndDeleteLater>;

} // namespace vantora::platform
