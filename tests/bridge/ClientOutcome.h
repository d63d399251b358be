#pragma once

#include "bridge/HueError.h"
#include "platform/https/TrustAnchorsError.h"
#include "runtime/Errors.h"
#include "runtime/TaskScope.h"

#include <string>

// How an operation of the bridge client ended, as one comparable text, and everything its
// error says about itself.
namespace vantora::testing {

inline std::string kindName(HueError::Kind kind)
{
    switch (kind) {
    case HueError::Kind::http: return "http";
    case HueError::Kind::api: return "api";
    case HueError::Kind::keychain: return "keychain";
    case HueError::Kind::invalidAddress: return "invalidAddress";
    case HueError::Kind::invalidResponse: return "invalidResponse";
    case HueError::Kind::linkButtonNotPressed: return "linkButtonNotPressed";
    case HueError::Kind::unauthorized: return "unauthorized";
    case HueError::Kind::bridgeIdentityChanged: return "bridgeIdentityChanged";
    case HueError::Kind::bridgeAlreadyConnected: return "bridgeAlreadyConnected";
    case HueError::Kind::savedBridgeNotFound: return "savedBridgeNotFound";
    case HueError::Kind::discoveryUnavailable: return "discoveryUnavailable";
    }
    return "unknown kind";
}

// "http 302", "api: A; B", "unauthorized", "decoding error", "network timedOut", "cancelled".
inline std::string describeCurrentError()
{
    try {
        throw;
    } catch (const HueError &error) {
        std::string text = kindName(error.kind());
        if (const auto status = error.httpStatus())
            text += " " + std::to_string(*status);
        if (const auto message = error.apiMessage())
            text += ": " + message->toStdString();
        return text;
    } catch (const runtime::DecodingError &) {
        return "decoding error";
    } catch (const runtime::NetworkError &error) {
        return "network " + runtime::networkErrorCodeName(error.code()).toStdString();
    } catch (const runtime::CancellationError &) {
        return "cancelled";
    } catch (const platform::TrustAnchorsError &error) {
        switch (error.reason()) {
        case platform::TrustAnchorsError::Reason::missing: return "roots missing";
        case platform::TrustAnchorsError::Reason::unreadable: return "roots unreadable";
        case platform::TrustAnchorsError::Reason::noCertificate: return "roots without certificate";
        }
        return "roots unusable";
    } catch (const std::exception &error) {
        return std::string("unexpected error: ") + error.what();
    }
}

// "ok" for a finished task that returned normally.
template <typename T>
std::string outcomeOf(const runtime::TaskHandle<T> &handle)
{
    if (!handle.isFinished())
        return "still running";
    try {
        handle.result();
        return "ok";
    } catch (...) {
        return describeCurrentError();
    }
}

// Everything the error says about itself (each error's what() holds its user text or its
// technical detail); empty when the task succeeded.
template <typename T>
QString errorTextOf(const runtime::TaskHandle<T> &handle)
{
    try {
        handle.result();
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    } catch (const runtime::CancellationError &error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

} // namespace vantora::testing
