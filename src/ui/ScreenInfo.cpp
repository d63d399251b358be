#include "ui/ScreenInfo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vantora::ui::screenInfo {

namespace {

HeightSource &source()
{
    static HeightSource installed;
    return installed;
}

} // namespace

std::optional<int> visibleHeight(const QWidget *widget)
{
    if (source())
        return source()(widget);
    const QScreen *screen = widget ? widget->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->availableGeometry().height();
}

HeightSource setHeightSource(HeightSource replacement)
{
    return std::exchange(source(), std::move(replacement));
}

} // namespace vantora::ui::screenInfo
