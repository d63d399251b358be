#pragma once

#include <QString>

#include <array>

namespace vantora::ui {

// Every image the application draws, each the file ":/images/<name>.svg". Views name images
// only through this list, so a test can open every one of them: an image asked for that does
// not exist cannot go unnoticed.
enum class Image {
    AboutArtwork,
    BrightnessMax,
    BrightnessMin,
    DetailBack,
    EmptyStateBulb,
    HomePower,
    HueBridgeWelcome,
    LightBulb,
    MenuBarBulb,
    NoticeInfo,
    RoomHeartActive,
    RoomHeartActiveDark,
    RoomHeartDefault,
    RoomHeartDefaultDark,
    RoomHeartHover,
    RoomHeartHoverDark,
    RoomPowerActive,
    RoomPowerActiveDark,
    RoomPowerDefault,
    RoomPowerDefaultDark,
    RoomPowerHover,
    RoomPowerHoverDark,
    SettingsIcon,
    UnreachableLightBulb,
    VantoraLogo,
};

inline constexpr std::array allImages{
    Image::AboutArtwork,        Image::BrightnessMax,        Image::BrightnessMin,    Image::DetailBack,
    Image::EmptyStateBulb,      Image::HomePower,            Image::HueBridgeWelcome, Image::LightBulb,
    Image::MenuBarBulb,         Image::NoticeInfo,           Image::RoomHeartActive,  Image::RoomHeartActiveDark,
    Image::RoomHeartDefault,    Image::RoomHeartDefaultDark, Image::RoomHeartHover,   Image::RoomHeartHoverDark,
    Image::RoomPowerActive,     Image::RoomPowerActiveDark,  Image::RoomPowerDefault, Image::RoomPowerDefaultDark,
    Image::RoomPowerHover,      Image::RoomPowerHoverDark,   Image::SettingsIcon,     Image::UnreachableLightBulb,
    Image::VantoraLogo,
};

// The file's base name ("LightBulb").
QString imageName(Image image);
// The resource path (":/images/LightBulb.svg").
QString imagePath(Image image);

} // namespace vantora::ui
