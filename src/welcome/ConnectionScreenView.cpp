#include "welcome/ConnectionScreenView.h"

#include "welcome/InstructionText.h"
#include "welcome/WelcomeLayout.h"
#include "welcome/WelcomeScreenRules.h"

#include <QVBoxLayout>

namespace vantora {

ConnectionScreenView::ConnectionScreenView(const ConnectionPillState &pill, const QString &instruction,
                                           pulseCurve::PulseSwitch pulse, ConnectionPill::Action action,
                                           QWidget *parent)
    : QWidget(parent)
{
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, shadowRoom);
    column->setSpacing(columnSpacing);
    m_instruction = new InstructionText(instruction, content);
    m_pill = new ConnectionPill(pill, std::move(action), content);
    column->addWidget(m_instruction, 0, Qt::AlignHCenter);
    column->addWidget(m_pill, 0, Qt::AlignHCenter);

    m_stage = new WelcomeLayout(welcomeScreen::stagePulse(pulse, pill), content, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stage);
}

void ConnectionScreenView::apply(const ConnectionPillState &pill, const QString &instruction,
                                 pulseCurve::PulseSwitch pulse)
{
    // Read out in this order: what happened (the pill), then what to do next.
    m_pill->apply(pill);
    m_instruction->setText(instruction);
    m_stage->setPulse(welcomeScreen::stagePulse(pulse, pill));
}

} // namespace vantora
