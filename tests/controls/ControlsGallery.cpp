#include "ui/Gallery.h"

#include "controls/ColourSpectrum.h"
#include "controls/HomePowerButton.h"
#include "controls/LightToggleArtwork.h"
#include "controls/LightValueSlider.h"
#include "controls/RoomActionButton.h"
#include "controls/RoomBrightnessButton.h"
#include "controls/RoomBrightnessPreview.h"
#include "controls/RoomBrightnessSlider.h"
#include "controls/RoomEdgeSlider.h"

#include "store/HalvetStore.h"
#include "ui/Colours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"
#include "ui/UiHarness.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

using testing::pointerEnters;
using testing::renderGallery;

const ui::DynamicColor amber = ui::DynamicColor::fixed(QColor(251, 173, 28));

// The four looks of a button, one per column: at rest, under the pointer, pressed, disabled.
template <typename Make>
void addButtonRow(QGridLayout *grid, int row, Make make)
{
    for (int column = 0; column < 4; ++column) {
        QAbstractButton *button = make();
        if (column == 1)
            pointerEnters(button);
        button->setDown(column == 2);
        button->setEnabled(column != 3);
        grid->addWidget(button, row, column, Qt::AlignCenter);
    }
}

TEST(ControlsGallery, Toggles)
{
    // Columns: off, on, unavailable and off, unavailable and on, the swatch; one row per colour.
    renderGallery(QStringLiteral("light-toggles"), [](QWidget &page, ui::ColorScheme) {
        auto *grid = new QGridLayout(&page);
        grid->setContentsMargins(16, 16, 16, 16);
        grid->setHorizontalSpacing(8);
        int row = 0;
        for (const ToggleColor color : allToggleColors) {
            auto *label = new ui::TextLabel(name(color));
            label->setFont(ui::systemFont(12));
            label->setForeground({ui::colours::grey(0.16), ui::colours::grey(0.94)});
            grid->addWidget(label, row, 0);
            int column = 1;
            for (const auto &[on, unavailable] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
                auto *artwork = new LightToggleArtwork;
                artwork->apply({on, unavailable, color, false});
                grid->addWidget(artwork, row, column++);
            }
            auto *swatch = new LightToggleArtwork;
            swatch->apply({true, false, color, true});
            grid->addWidget(swatch, row, column);
            ++row;
        }
    });
}

TEST(ControlsGallery, Sliders)
{
    renderGallery(QStringLiteral("controls-sliders"), [](QWidget &page, ui::ColorScheme) {
        auto *layout = new QVBoxLayout(&page);
        layout->setContentsMargins(20, 20, 20, 20);
        const auto add = [&](SliderSize size, double value, bool fill, bool enabled, bool focus) {
            auto *slider = new LightValueSlider(size, SliderOrientation::Horizontal, &page);
            slider->setRange({1, 100});
            slider->setValue(value);
            slider->setColours({ui::DynamicColor{ui::colours::grey(0.91), ui::colours::grey(0.23)}});
            if (fill)
                slider->setFill(amber);
            slider->setEnabled(enabled);
            slider->setFixedWidth(260);
            layout->addWidget(slider);
            if (focus)
                slider->setFocus(Qt::TabFocusReason);
        };
        add(SliderSize::Full, 60, true, true, false);
        add(SliderSize::Full, 1, true, true, false);
        add(SliderSize::Compact, 35, true, true, false);
        add(SliderSize::Compact, 80, true, false, false);
        auto *warm = new LightValueSlider(SliderSize::Full, SliderOrientation::Horizontal, &page);
        warm->setRange({2000, 6500});
        warm->setValue(2700);
        warm->setColours({ui::DynamicColor::fixed(QColor(255, 166, 87)), ui::DynamicColor::fixed(QColor(255, 244, 229)),
                          ui::DynamicColor::fixed(QColor(201, 226, 255))});
        warm->setFixedWidth(260);
        layout->addWidget(warm);
        auto *row = new QHBoxLayout;
        auto *vertical = new LightValueSlider(SliderSize::Compact, SliderOrientation::Vertical, &page);
        vertical->setRange({1, 100});
        vertical->setValue(70);
        vertical->setColours({ui::DynamicColor{ui::colours::grey(0.91), ui::colours::grey(0.23)}});
        vertical->setFill(amber);
        vertical->setFixedHeight(122);
        row->addWidget(vertical);
        auto *spectrum = new ColourSpectrum(&page);
        spectrum->setColour(0.3, 0.7);
        spectrum->setFixedWidth(230);
        row->addWidget(spectrum, 0, Qt::AlignTop);
        layout->addLayout(row);
    });
}

TEST(ControlsGallery, Buttons)
{
    renderGallery(QStringLiteral("controls-buttons"), [](QWidget &page, ui::ColorScheme) {
        auto *grid = new QGridLayout(&page);
        grid->setContentsMargins(20, 20, 20, 20);
        grid->setSpacing(14);
        addButtonRow(grid, 0, [&] { return new HomePowerButton(HomePower::TurnOn, &page); });
        addButtonRow(grid, 1, [&] { return new HomePowerButton(HomePower::TurnOff, &page); });
        for (const bool active : {false, true}) {
            for (const auto kind : {RoomActionButton::Kind::Heart, RoomActionButton::Kind::Power}) {
                addButtonRow(grid, grid->rowCount(), [&] {
                    auto *button = new RoomActionButton(kind, &page);
                    button->setActive(active);
                    return button;
                });
            }
        }
        for (const bool expanded : {false, true}) {
            addButtonRow(grid, grid->rowCount(), [&] {
                auto *button = new RoomBrightnessButton(&page);
                button->setBrightness(60);
                button->setExpanded(expanded);
                return button;
            });
        }
    });
}

LightRoom sampleRoom(bool lit)
{
    const auto light = [lit](const char *id, double brightness) {
        return HueLight{.id = QString::fromLatin1(id), .name = QString::fromLatin1(id), .isOn = lit,
                        .isReachable = true, .brightness = brightness};
    };
    return {.id = QStringLiteral("living"), .name = QStringLiteral("Living room"),
            .lights = {light("Sofa", 35), light("Shelf", 62), light("Ceiling", 48)}};
}

// Each style over a room with lit lights, then the same room with every light off.
TEST(ControlsGallery, RoomBrightnessStyles)
{
    renderGallery(QStringLiteral("controls-room-brightness"), [](QWidget &page, ui::ColorScheme) {
        auto *grid = new QGridLayout(&page);
        grid->setContentsMargins(20, 20, 20, 20);
        grid->setSpacing(18);
        int column = 0;
        for (const RoomBrightnessStyle style : allRoomBrightnessStyles) {
            for (const bool lit : {true, false}) {
                auto *control = new RoomBrightnessSlider(style, nullptr, &page);
                control->setRoom(sampleRoom(lit));
                grid->addWidget(control, lit ? 0 : 1, column, Qt::AlignCenter);
            }
            ++column;
        }
        auto *showing = new RoomBrightnessSlider(RoomBrightnessStyle::edge, nullptr, &page);
        showing->setRoom(sampleRoom(true));
        grid->addWidget(showing, 0, column, Qt::AlignCenter);
        // A key step shows the percentage line under the track.
        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QCoreApplication::sendEvent(showing->edgeSlider()->track(), &up);
    });
}

// The preview window with a stand-in for the lights panel: the first sample room's control in
// the chosen style.
TEST(ControlsGallery, StylePreview)
{
    for (const RoomBrightnessStyle style : {RoomBrightnessStyle::edge, RoomBrightnessStyle::percentage}) {
        renderGallery(QStringLiteral("controls-preview-") + rawValue(style).toLower().replace(' ', '-'),
                      [style](QWidget &page, ui::ColorScheme scheme) {
                          const auto standIn = [](HalvetStore &store, QWidget *parent) -> QWidget * {
                              auto *panel = new QWidget(parent);
                              auto *layout = new QHBoxLayout(panel);
                              layout->setContentsMargins(16, 16, 16, 16);
                              auto *control = new RoomBrightnessSlider(roomBrightnessStyle(panel), nullptr, panel);
                              control->setRoom(store.snapshot().rooms().front());
                              layout->addWidget(control, 0, Qt::AlignLeft);
                              return panel;
                          };
                          auto *layout = new QVBoxLayout(&page);
                          layout->setContentsMargins(0, 0, 0, 0);
                          auto *preview = new RoomBrightnessPreview(RoomBrightnessPreview::makeDemoStore(nullptr),
                                                                    standIn, &page);
                          preview->setDark(scheme == ui::ColorScheme::Dark);
                          preview->select(style);
                          layout->addWidget(preview);
                      });
    }
}

} // namespace
} // namespace vantora::controls
