#pragma once

#include "settings/LoginItemBackend.h"

#include <optional>
#include <string>
#include <vector>

namespace vantora::testing {

// A desktop record that answers a scripted status and logs what was asked of it.
class ScriptedLoginItems final : public LoginItemBackend {
public:
    ScriptedLoginItems(LoginItemStatus status, std::vector<std::string> &log)
        : m_status(status)
        , m_log(log)
    {
    }

    LoginItemStatus status() const override
    {
        m_log.push_back("status");
        return m_status;
    }
    void registerItem() override
    {
        m_log.push_back("register");
        fail();
        m_status = registeredStatus;
    }
    void unregisterItem() override
    {
        m_log.push_back("unregister");
        fail();
        m_status = LoginItemStatus::notRegistered;
    }
    void openApprovalSettings() override { m_log.push_back("open settings"); }

    // Changes the record behind the application's back, as the desktop's settings do.
    void setStatus(LoginItemStatus status) { m_status = status; }

    LoginItemStatus registeredStatus = LoginItemStatus::enabled;
    std::optional<QString> failure;

private:
    void fail()
    {
        if (failure)
            throw LoginItemError(*failure);
    }

    LoginItemStatus m_status;
    std::vector<std::string> &m_log;
};

} // namespace vantora::testing
