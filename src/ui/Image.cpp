#include "ui/Image.h"

namespace vantora::ui {

QString imageName(Image image)
{
    switch (image) {
    case Image::AboutArtwork: return QStringLiteral("AboutArtwork");
    case Image::BrightnessMax: return QStringLiteral("BrightnessMax");
    case Image::BrightnessMin: return QStringLiteral("BrightnessMin");
    case Image::DetailBack: return QStringLiteral("DetailBack");
    case Image::EmptyStateBulb: return QStringLiteral("EmptyStateBulb");
    case Image::HomePower: return QStringLiteral("HomePower");
    case Image::HueBridgeWelcome: return QStringLiteral("HueBridgeWelcome");
    case Image::LightBulb: return QStringLiteral("LightBulb");
    case Image::MenuBarBulb: return QStringLiteral("MenuBarBulb");
    case Image::NoticeInfo: return QStringLiteral("NoticeInfo");
    case Image::RoomHeartActive: return QStringLiteral("RoomHeartActive");
    case Image::RoomHeartActiveDark: return QStringLiteral("RoomHeartActiveDark");
    case Image::RoomHeartDefault: return QStringLiteral("RoomHeartDefault");
    case Image::RoomHeartDefaultDark: return QStringLiteral("RoomHeartDefaultDark");
    case Image::RoomHeartHover: return QStringLiteral("RoomHeartHover");
    case Image::RoomHeartHoverDark: return QStringLiteral("RoomHeartHoverDark");
    case Image::RoomPowerActive: return QStringLiteral("RoomPowerActive");
    case Image::RoomPowerActiveDark: return QStringLiteral("RoomPowerActiveDark");
    case Image::RoomPowerDefault: return QStringLiteral("RoomPowerDefault");
    case Image::RoomPowerDefaultDark: return QStringLiteral("RoomPowerDefaultDark");
    case Image::RoomPowerHover: return QStringLiteral("RoomPowerHover");
    case Image::RoomPowerHoverDark: return QStringLiteral("RoomPowerHoverDark");
    case Image::SettingsIcon: return QStringLiteral("SettingsIcon");
    case Image::UnreachableLightBulb: return QStringLiteral("UnreachableLightBulb");
    case Image::VantoraLogo: return QStringLiteral("VantoraLogo");
    }
    return {};
}

QString imagePath(Image image)
{
    return QStringLiteral(":/images/%1.svg").arg(imageName(image));
}

} // namespace vantora::ui
