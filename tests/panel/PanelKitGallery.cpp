#include "ui/Gallery.h"

#include "controls/BrightnessScrollTarget.h"
#include "panel/FooterMotionPreview.h"
#include "panel/LightRow.h"
#include "runtime/UserDefaults.h"
#include "ui/LightCardSurface.h"
#include "ui/Popover.h"
#include "ui/UiHarness.h"
#include "ui/Colours.h"
#include "ui/TextLabel.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace vantora {
namespace {

using testing::renderGallery;

HueLight sampleLight(const QString &name, bool on, bool reachable = true)
{
    HueLight light;
    light.id = name;
    light.name = name;
    light.roomName = QStringLiteral("Living room");
    light.isOn = on;
    light.isReachable = reachable;
    light.brightness = 64;
    return light;
}

TEST(PanelKitGallery, LightRows)
{
    struct Sample {
        HueLight light;
        bool isUpdating = false;
        bool hovered = false;
        int scrollNotches = 0;
    };
    HueLight plug = sampleLight(QStringLiteral("Coffee machine plug"), true);
    plug.brightness.reset();
    HueLight warm = sampleLight(QStringLiteral("Reading lamp (warm white)"), true);
    warm.temperatureIsActive = true;
    warm.temperature = 454;
    warm.temperatureRange = MirekRange{153, 500};
    const Sample samples[] = {
        {sampleLight(QStringLiteral("Ceiling"), true)},
        {warm},
        {sampleLight(QStringLiteral("Floor lamp"), false)},
        {sampleLight(QStringLiteral("Hallway spot"), true, false)},
        {sampleLight(QStringLiteral("Desk strip"), true), true},
        {plug},
        {sampleLight(QStringLiteral("Hovered: the chevron shows"), true), false, true},
        {sampleLight(QStringLiteral("Dimming by scrolling"), true), true, false, 3},
        {sampleLight(QStringLiteral("A very long light name that cannot fit beside its switch"), true)},
        {sampleLight(QStringLiteral("<img src=x> & <b>bold</b>"), false)},
    };
    renderGallery(QStringLiteral("light-rows"), [&](QWidget &page, ui::ColorScheme) {
        auto *column = new QVBoxLayout(&page);
        column->setContentsMargins(16, 16, 16, 16);
        auto *card = new ui::LightCardSurface(12);
        card->setFixedWidth(408);
        auto *rows = new QVBoxLayout(card->content());
        rows->setContentsMargins(0, 0, 0, 0);
        rows->setSpacing(0);
        column->addWidget(card);
        for (const Sample &sample : samples) {
            auto *row = new LightRow;
            row->apply({sample.light, false, sample.isUpdating, false, [](const HueLight &, double) {},
                        [](const HueLight &) {}, [](const HueLight &, bool) {}});
            rows->addWidget(row);
            if (sample.hovered)
                testing::pointerEnters(row);
            for (int notch = 0; notch < sample.scrollNotches; ++notch) {
                QWheelEvent event(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(-120, 0), Qt::NoButton,
                                  Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(row->scrollTarget(), &event);
            }
        }
    });
}

TEST(PanelKitGallery, Popover)
{
    // The popover is a window of its own; its picture is put on the page beside its anchor.
    renderGallery(QStringLiteral("popover"), [](QWidget &page, ui::ColorScheme) {
        auto *layout = new QVBoxLayout(&page);
        layout->setContentsMargins(16, 16, 16, 16);
        const ui::DynamicColor text{ui::colours::grey(0.16), ui::colours::grey(0.94)};
        auto *anchor = new ui::TextLabel(QStringLiteral("Anchor"), &page);
        anchor->setForeground(text);
        layout->addWidget(anchor, 0, Qt::AlignHCenter);
        auto *popover = new ui::Popover(anchor);
        auto *content = new ui::TextLabel(QStringLiteral("A slider goes here"));
        content->setForeground(text);
        content->setFixedSize(200, 40);
        popover->setContent(content);
        popover->adjustSize();
        auto *picture = new QLabel;
        picture->setPixmap(popover->grab());
        layout->addWidget(picture);
    });
}

TEST(PanelKitGallery, MotionExamplesWindow)
{
    runtime::MemoryUserDefaults defaults;
    renderGallery(QStringLiteral("motion-examples"), [&](QWidget &page, ui::ColorScheme) {
        auto *layout = new QVBoxLayout(&page);
        layout->setContentsMargins(0, 0, 0, 0);
        FooterMotionPreview::Services services{[](const BridgeConnection &) { return std::shared_ptr<LightService>(); },
                                               [](const BridgeAddress &, const std::optional<QString> &) {
                                                   return std::shared_ptr<BridgePairingService>();
                                               },
                                               []() -> runtime::Task<std::vector<DiscoveredBridge>> { co_return {}; }};
        auto *preview = new FooterMotionPreview(std::move(services), defaults);
        preview->select(FooterPowerMotion::momentum);
        preview->toggleVisible();
        layout->addWidget(preview);
    });
}

} // namespace
} // namespace vantora
