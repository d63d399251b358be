#pragma once

#include "welcome/ConnectionPill.h"
#include "welcome/PulseCurve.h"

#include <QWidget>

namespace vantora {

class InstructionText;
class WelcomeLayout;

// The presentation of the welcome and connection screens: on the welcome stage, a column
// of the instruction above the connection pill, centred at the top of the stage's content
// area. The stage pulses over the bridge's button only while the pulse is asked for and the
// pill is past its first step (not `ready`). Applying equal values changes nothing.
class ConnectionScreenView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int columnSpacing = 16;
    // Room under the pill for its shadow.
    static constexpr int shadowRoom = 7;

    ConnectionScreenView(const ConnectionPillState &pill, const QString &instruction,
                         pulseCurve::PulseSwitch pulse, ConnectionPill::Action action, QWidget *parent = nullptr);

    void apply(const ConnectionPillState &pill, const QString &instruction, pulseCurve::PulseSwitch pulse);

    ConnectionPill *pill() const noexcept { return m_pill; }
    InstructionText *instruction() const noexcept { return m_instruction; }
    WelcomeLayout *stage() const noexcept { return m_stage; }

private:
    InstructionText *m_instruction;
    ConnectionPill *m_pill;
    WelcomeLayout *m_stage;
};

} // namespace vantora
