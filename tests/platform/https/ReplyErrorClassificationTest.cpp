#include "platform/https/ReplyErrorClassification.h"

#include <gtest/gtest.h>

using vantora::platform::restatesHttpStatus;
using vantora::platform::networkErrorCodeFor;
using Code = vantora::runtime::NetworkErrorCode;
using QtError = QNetworkReply::NetworkError;

TEST(ReplyErrorClassification, TransportFailuresMapToTheirCodes)
{
    struct Case {
        const char *name;
        QtError error;
        Code expected;
    };
    const Case cases[] = {
        {"refused", QtError::ConnectionRefusedError, Code::cannotConnectToHost},
        {"closed by the bridge", QtError::RemoteHostClosedError, Code::networkConnectionLost},
        {"host not found", QtError::HostNotFoundError, Code::cannotFindHost},
        {"socket time-out", QtError::TimeoutError, Code::timedOut},
        {"handshake failed", QtError::SslHandshakeFailedError, Code::secureConnectionFailed},
        {"temporary failure", QtError::TemporaryNetworkFailureError, Code::notConnectedToInternet},
        {"session failed", QtError::NetworkSessionFailedError, Code::notConnectedToInternet},
        {"unreachable network", QtError::UnknownNetworkError, Code::cannotConnectToHost},
        // Our own aborts are recognised by their recorded reason; one without a reason
        // must not pass for a cancellation or a time-out.
        {"abort nobody recorded", QtError::OperationCanceledError, Code::other},
        {"proxy", QtError::ProxyConnectionRefusedError, Code::other},
        {"protocol failure", QtError::ProtocolFailure, Code::badServerResponse},
        {"redirect loop", QtError::TooManyRedirectsError, Code::badServerResponse},
        {"no answer and no error", QtError::NoError, Code::badServerResponse},
        {"HTTP error without status", QtError::ContentNotFoundError, Code::badServerResponse},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(networkErrorCodeFor(c.error), c.expected);
    }
}

TEST(ReplyErrorClassification, OnlyErrorsThatRestateTheStatusLeaveAResponse)
{
    struct Case {
        const char *name;
        QtError error;
        bool restatesStatus;
    };
    const Case cases[] = {
        {"no error", QtError::NoError, true},
        {"403", QtError::ContentAccessDenied, true},
        {"404", QtError::ContentNotFoundError, true},
        {"401", QtError::AuthenticationRequiredError, true},
        {"other 4xx", QtError::UnknownContentError, true},
        {"500", QtError::InternalServerError, true},
        {"503", QtError::ServiceUnavailableError, true},
        {"other 5xx", QtError::UnknownServerError, true},
        {"400 and 418", QtError::ProtocolInvalidOperationError, true},
        {"407", QtError::ProxyAuthenticationRequiredError, true},
        {"refused", QtError::ConnectionRefusedError, false},
        {"unreachable network", QtError::UnknownNetworkError, false},
        {"too many redirects", QtError::TooManyRedirectsError, false},
        {"closed in the middle of the body", QtError::RemoteHostClosedError, false},
        {"aborted", QtError::OperationCanceledError, false},
        {"protocol failure", QtError::ProtocolFailure, false},
        {"handshake failed", QtError::SslHandshakeFailedError, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(restatesHttpStatus(c.error), c.restatesStatus);
    }
}
