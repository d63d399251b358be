#pragma once

#include <QString>

#include <exception>
#include <string>

namespace vantora::runtime {

// Thrown where a cancelled task meets a suspension point or a cancellation check.
// Deliberately not a std::exception: a `catch (const std::exception&)` written for real
// failures must never swallow a cancellation.
class CancellationError final {
public:
    const char *what() const noexcept { return "The task was cancelled."; }
};

// Data that does not have the shape its reader requires: malformed text, a missing or
// null required key, a wrong type, a non-integral or out-of-range integer.
class DecodingError final : public std::exception {
public:
    DecodingError(QString path, QString reason);

    // Where in the document the fault was found, e.g. "data[3].dimming.brightness";
    // empty for the document itself.
    const QString &path() const noexcept { return m_path; }
    const QString &reason() const noexcept { return m_reason; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    QString m_path;
    QString m_reason;
    std::string m_what;
};

// The failure of a network exchange, classified by the lowest layer that knows what
// happened. Replies that carry an HTTP status are results, never NetworkErrors.
enum class NetworkErrorCode {
    timedOut,
    cannotFindHost,
    cannotConnectToHost,
    networkConnectionLost,
    notConnectedToInternet,
    secureConnectionFailed,
    serverCertificateUntrusted,
    serverCertificateHasBadDate,
    serverCertificateHasUnknownRoot,
    serverCertificateNotYetValid,
    badServerResponse,
    other,
};

QString networkErrorCodeName(NetworkErrorCode code);

class NetworkError final : public std::exception {
public:
    // `detail` is technical text for debugging; it never reaches the user and must not
    // carry secrets such as an application key.
    explicit NetworkError(NetworkErrorCode code, QString detail = {});

    NetworkErrorCode code() const noexcept { return m_code; }
    const QString &detail() const noexcept { return m_detail; }
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    NetworkErrorCode m_code;
    QString m_detail;
    std::string m_what;
};

} // namespace vantora::runtime
