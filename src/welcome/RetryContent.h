#pragma once

#include "welcome/PillContent.h"

#include <functional>

namespace vantora {

class PillActionButton;
class PillText;

// The `retry` look: the failure message in the secondary colour, cut at its end when it
// does not fit, then the "Try again" button at its natural size, the only part that acts.
class RetryContent final : public PillContent {
    Q_OBJECT
public:
    RetryContent(QWidget *pill, const QString &message, std::function<void()> action);

    PillText *messageText() const noexcept { return m_message; }
    PillActionButton *button() const noexcept { return m_button; }

protected:
    void layoutContent() override;

private:
    PillText *m_message;
    PillActionButton *m_button;
};

} // namespace vantora
