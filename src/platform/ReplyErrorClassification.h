#pragma once

#include "HttpResponse.h"

#include "runtime/Errors.h"

#include <QNetworkReply>

namespace vantora::platform {

// The failure a finished reply reports, in the application's terms. Our own aborts
// (cancellation, time-outs, refused certificates) are told apart by their recorded reason
// before this is asked; an abort nobody recorded is `other`. A reply that ended without any
// HTTP answer and without an error is a bad server response.
runtime::NetworkErrorCode networkErrorCodeFor(QNetworkReply::NetworkError error);

// True when the reply's error only restates its HTTP status (Qt raises one for every 4xx
// and 5xx), so the reply is a complete answer. Transport failures after the status line,
// such as a connection closed in the middle of the body, are not.
bool isHttpStatusError(QNetworkReply::NetworkError error);

// What a finished reply holds: the response for any HTTP status, body included. Throws the
// NetworkError that classifies a transport failure; its detail is only Qt's name for the
// failure, since Qt's own error strings quote the URL.
HttpResponse finishedResponse(QNetworkReply &reply);

} // namespace vantora::platform
