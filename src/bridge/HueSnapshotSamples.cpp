#include "bridge/HueSnapshot.h"

#include <QCoreApplication>

#include <array>

// The homes the demonstration and preview modes show instead of a bridge's.

namespace vantora {

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("vantora::HueSnapshot", source);
}

constexpr MirekRange fullRange{153, 500};

HueXY colourAt(double hue, double saturation)
{
    return LightColour::xy(LightColour::HueSaturation{hue, saturation});
}

HueSnapshot makeDemo()
{
    const QString living = QStringLiteral("living");
    const QString kitchen = QStringLiteral("kitchen");
    const QString bedroom = QStringLiteral("bedroom");
    return HueSnapshot{{
        HueLight{.id = QStringLiteral("1"), .name = text("Floor lamp"), .roomID = living, .roomName = text("Living room"),
                 .isOn = true, .isReachable = true, .brightness = 72, .color = colourAt(0.1, 0.65),
                 .gamut = HueGamut::preview(), .temperature = 370, .temperatureRange = fullRange},
        HueLight{.id = QStringLiteral("2"), .name = text("Sofa lamp"), .roomID = living, .roomName = text("Living room"),
                 .isOn = true, .isReachable = true, .brightness = 55, .temperature = 370,
                 .temperatureRange = fullRange, .temperatureIsActive = true},
        HueLight{.id = QStringLiteral("3"), .name = text("Pendant"), .roomID = kitchen, .roomName = text("Kitchen"),
                 .isOn = false, .isReachable = true, .brightness = 60, .color = colourAt(0.74, 0.45),
                 .gamut = HueGamut::preview(), .temperature = 350, .temperatureRange = fullRange},
        HueLight{.id = QStringLiteral("4"), .name = text("Bedside lamp"), .roomID = bedroom, .roomName = text("Bedroom"),
                 .isOn = true, .isReachable = true, .brightness = 45},
        HueLight{.id = QStringLiteral("5"), .name = text("Ceiling"), .roomID = bedroom, .roomName = text("Bedroom"),
                 .isOn = false, .isReachable = false, .brightness = 80, .temperature = 370,
                 .temperatureRange = fullRange, .temperatureIsActive = true},
    }};
}

HueLight sampleLight(int index)
{
    static constexpr std::array roomNames{
        QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Living room"), QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Bedroom"),
        QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Kitchen"),     QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Office"),
        QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Hallway"),
    };
    static constexpr std::array lightNames{
        QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Bedside lamp"), QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Ceiling lights"),
        QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Floor lamp"),   QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Pendant"),
        QT_TRANSLATE_NOOP("vantora::HueSnapshot", "En-suite"),     QT_TRANSLATE_NOOP("vantora::HueSnapshot", "Reading light"),
    };

    HueLight light{
        .id = QStringLiteral("sample-%1").arg(index),
        .roomID = QStringLiteral("room-%1").arg(index / 4),
        .roomName = text(roomNames[std::size_t(index / 4 % 5)]),
    };
    // A few plain on/off devices among the lights.
    if (index == 2 || index == 3 || index == 8) {
        light.name = index == 3 ? text("Light stand") : text("Smart plug");
        light.isOn = index == 3;
        light.isReachable = index != 8;
        return light;
    }
    light.name = text(lightNames[std::size_t(index % 6)]);
    light.isOn = index % 3 == 0;
    light.isReachable = index % 7 != 1;
    light.brightness = double((11 * index) % 66 + 35);
    if (index % 4 == 0)
        light.color = colourAt(0.1, 0.55);
    else if (index % 4 == 3)
        light.color = colourAt(0.74, 0.55);
    light.gamut = HueGamut::preview();
    light.temperature = 370;
    if (index % 4 != 2)
        light.temperatureRange = fullRange;
    light.temperatureIsActive = index % 4 == 1;
    return light;
}

} // namespace

const HueSnapshot &HueSnapshot::demo()
{
    static const HueSnapshot demo = makeDemo();
    return demo;
}

HueSnapshot HueSnapshot::sample(int lightCount)
{
    HueSnapshot snapshot;
    for (int index = 0; index < lightCount; ++index)
        snapshot.lights.push_back(sampleLight(index));
    return snapshot;
}

} // namespace vantora
