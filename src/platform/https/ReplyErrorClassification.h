#pragma once

#include "platform/https/HttpResponse.h"

#include "runtime/Errors.h"

#include <QNetworkReply>

namespace vantora::platform {

// The failure a finished reply reports, in the application's terms. Our own aborts
// (cancellation, time-outs, refused certificates) are told apart by their recorded reason
// before this is asked; an abort nobody recorded is `other`. A reply that ended without any
// HTTP answer and without an error is a bad server response.
runtime::NetworkErrorCode networkErrorCodeFor(QNetworkReply::NetworkError error);

// For a reply that carries an HTTP status: true when its error says nothing beyond that
// status, so the reply is a complete answer whatever the status. Qt files statuses under
// errors of its own choosing (400 and 418 as invalid operations, 407 as a proxy's demand),
// so only failures of the connection or of the message framing count: a connection closed
// in the middle of the body, a time-out, an abort, an unreadable chunk.
bool restatesHttpStatus(QNetworkReply::NetworkError error);

// What a finished reply holds: the response for any HTTP status, body included. Throws the
// NetworkError that classifies a transport failure; its detail is only Qt's name for the
// failure, since Qt's own error strings quote the URL.
HttpResponse finishedResponse(QNetworkReply &reply);

} // namespace vantora::platform
