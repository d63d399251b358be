#include "panel/PanelRules.h"

#include "store/RoomFavourites.h"

#include <algorithm>

namespace vantora::panelRules {

namespace {

constexpr qreal tallestPage = 542;
constexpr qreal screenMargin = 48;

} // namespace

Page choosePage(bool needsOnboarding, const HueSnapshot &visibleLights)
{
    if (needsOnboarding)
        return Page::welcome;
    return visibleLights.lights.empty() ? Page::noLights : Page::lights;
}

qreal pageHeight(std::optional<int> screenVisibleHeight)
{
    if (!screenVisibleHeight)
        return tallestPage;
    // A screen shorter than the margin would give a negative height, which no layout takes.
    return std::clamp(qreal(*screenVisibleHeight) - screenMargin, qreal(0), tallestPage);
}

QString favouritesKey(bool isDemo, const std::optional<BridgeConnection> &connection)
{
    return isDemo ? QString(RoomFavourites::previewBridgeKey) : RoomFavourites::bridgeKey(connection);
}

QStringList roomIDs(const HueSnapshot &snapshot)
{
    QStringList ids;
    for (const LightRoom &room : snapshot.rooms())
        ids << room.id;
    return ids;
}

QStringList lightIDs(const HueSnapshot &snapshot)
{
    QStringList ids;
    ids.reserve(qsizetype(snapshot.lights.size()));
    for (const HueLight &light : snapshot.lights)
        ids << light.id;
    return ids;
}

} // namespace vantora::panelRules
