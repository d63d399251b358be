#pragma once

#include "welcome/PillActionButton.h"
#include "welcome/PillContent.h"

#include <functional>

namespace vantora {

// The `ready` and `choose` looks: one button whose label is centred in the pill and which
// takes a click anywhere on the capsule.
class PillButtonContent final : public PillContent {
    Q_OBJECT
public:
    PillButtonContent(QWidget *pill, const QString &title, PillActionButton::Trailing trailing,
                      std::function<void()> action);

    PillActionButton *button() const noexcept { return m_button; }

protected:
    void layoutContent() override;

private:
    PillActionButton *m_button;
};

} // namespace vantora
