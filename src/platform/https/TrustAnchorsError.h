#pragma once

#include <exception>

namespace vantora::platform {

// The bundled root certificates cannot be used, so no bridge can be trusted.
class TrustAnchorsError final : public std::exception {
public:
    enum class Reason {
        // No file at the path.
        missing,
        // The file exists but cannot be read, or is not UTF-8 text.
        unreadable,
        // The text holds no block that decodes to a certificate.
        noCertificate,
    };

    explicit TrustAnchorsError(Reason reason) : m_reason(reason) {}

    Reason reason() const noexcept { return m_reason; }

    const char *what() const noexcept override
    {
        switch (m_reason) {
        case Reason::missing: return "The root certificate file is missing.";
        case Reason::unreadable: return "The root certificate file cannot be read as UTF-8 text.";
        case Reason::noCertificate: return "The root certificate file holds no usable certificate.";
        }
        return "The root certificates cannot be used.";
    }

private:
    Reason m_reason;
};

} // namespace vantora::platform
