#include "welcome/RetryContent.h"

#include "welcome/ConnectionPillMetrics.h"
#include "welcome/ConnectionPillPalette.h"
#include "welcome/ConnectionPillTexts.h"
#include "welcome/PillActionButton.h"
#include "welcome/PillText.h"

#include <algorithm>

namespace vantora {

RetryContent::RetryContent(QWidget *pill, const QString &message, std::function<void()> action)
    : PillContent(pill)
    , m_message(new PillText(message, Qt::ElideRight, pillPalette::secondary(), this))
    , m_button(new PillActionButton(ConnectionPillTexts::tryAgain(), PillActionButton::Trailing::Nothing,
                                    PillActionButton::HitShape::Bounds, pillPalette::primary(), this))
{
    connect(m_button, &QAbstractButton::clicked, this, [action = std::move(action)] { action(); });
    layoutContent();
}

void RetryContent::layoutContent()
{
    using namespace pillMetrics;
    const int buttonWidth = m_button->sizeHint().width();
    const int fixed = 2 * retrySidePadding + retrySpacing + buttonWidth;
    const int messageWidth = std::clamp(width() - fixed, 0, m_message->naturalWidth());
    const int left = std::max(0, (width() - fixed - messageWidth) / 2) + retrySidePadding;
    m_message->setGeometry(left, 0, messageWidth, height());
    m_button->setGeometry(left + messageWidth + retrySpacing, 0, buttonWidth, height());
}

} // namespace vantora
