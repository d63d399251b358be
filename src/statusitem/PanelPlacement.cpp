#include "statusitem/PanelPlacement.h"

#include <algorithm>

namespace vantora::statusitem {

namespace {

// The gap between the anchor and the panel.
constexpr int anchorGap = 4;

int clampInto(int value, int low, int high)
{
    // A panel larger than the area keeps its top-left corner inside it.
    return std::max(low, std::min(value, high));
}

} // namespace

QPoint panelPosition(QSize panel, const std::optional<QRect> &trayIcon, QPoint pointer, QRect available)
{
    const QRect anchor = trayIcon && trayIcon->isValid() ? *trayIcon : QRect(pointer, QSize(1, 1));
    const bool anchorInTopHalf = anchor.center().y() < available.center().y();
    const int x = anchor.center().x() - panel.width() / 2;
    const int y = anchorInTopHalf ? anchor.bottom() + 1 + anchorGap : anchor.top() - anchorGap - panel.height();
    return {clampInto(x, available.left(), available.right() + 1 - panel.width()),
            clampInto(y, available.top(), available.bottom() + 1 - panel.height())};
}

QRect panelAnchor(const std::optional<QRect> &trayIcon, const std::optional<QRect> &lastClick, QRect pointerScreen)
{
    if (trayIcon && trayIcon->isValid())
        return *trayIcon;
    if (lastClick && lastClick->isValid())
        return *lastClick;
    return {pointerScreen.right(), pointerScreen.top(), 1, 1};
}

} // namespace vantora::statusitem
