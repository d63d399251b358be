#include "welcome/ConnectionPillMetrics.h"

#include "welcome/ConnectionPillTexts.h"

#include "ui/SystemFont.h"

#include <QFontMetricsF>
#include <QtMath>

#include <algorithm>

namespace vantora::pillMetrics {

namespace {

// Room around the ready title; the chevron, its gap and the sides of the choose button;
// the sides and the gap of the retry row.
constexpr int readyExtra = 30;
constexpr int chooseExtra = 16 + 32;
constexpr int retryExtra = 2 * retrySidePadding + retrySpacing;

} // namespace

int textWidth(const QString &text, QFont::Weight weight)
{
    return qCeil(QFontMetricsF(ui::systemFont(textPixelSize, weight)).horizontalAdvance(text));
}

int pillWidth(const ConnectionPillState &state)
{
    int width = searchingWidth;
    switch (state.kind()) {
    case ConnectionPillState::Case::Found:
        width = textWidth(state.name(), QFont::Normal) + textWidth(state.address(), QFont::Normal) + foundFixedWidth;
        break;
    case ConnectionPillState::Case::Retry:
        width = textWidth(state.message(), QFont::Normal) + textWidth(ConnectionPillTexts::tryAgain(), QFont::Medium) + retryExtra;
        break;
    case ConnectionPillState::Case::Ready:
        width = textWidth(ConnectionPillTexts::pairBridge(), QFont::Medium) + readyExtra;
        break;
    case ConnectionPillState::Case::Searching:
        break;
    case ConnectionPillState::Case::Choose:
        width = textWidth(ConnectionPillTexts::chooseBridge(), QFont::Medium) + chooseExtra;
        break;
    }
    return std::min(width, maximumWidth);
}

int pillHeight(const ConnectionPillState &state)
{
    return state.kind() == ConnectionPillState::Case::Ready ? readyHeight : height;
}

FoundRowWidths foundRowWidths(qreal pillWidth, qreal nameWidth, qreal addressWidth, qreal nameMinimum)
{
    const qreal space = pillWidth - foundFixedWidth;
    const qreal address = std::clamp<qreal>(space - std::min(nameWidth, nameMinimum), 0, addressWidth);
    const qreal name = std::clamp<qreal>(space - address, 0, nameWidth);
    return {name, address};
}

} // namespace vantora::pillMetrics
