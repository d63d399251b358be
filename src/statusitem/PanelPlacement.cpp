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

QRect panelAnchor(const std::optional<QRect> &trayIcon, const std::optional<QRect> &lastClick, QRect screen,
                  QRect available)
{
    if (trayIcon && trayIcon->isValid())
        return *trayIcon;
    if (lastClick && lastClick->isValid())
        return *lastClick;
    const int top = available.top() - screen.top();
    const int bottom = screen.bottom() - available.bottom();
    const int left = available.left() - screen.left();
    const int right = screen.right() - available.right();
    // Ties go to the top, then the bottom: a tray in a bar across the screen is the usual case.
    const int widest = std::max({top, bottom, left, right});
    if (widest <= 0 || widest == top)
        return {available.right(), available.top(), 1, 1};
    if (widest == bottom)
        return {available.right(), available.bottom(), 1, 1};
    if (widest == left)
        return {available.left(), available.bottom(), 1, 1};
    return {available.right(), available.bottom(), 1, 1};
}

} // namespace vantora::statusitem
