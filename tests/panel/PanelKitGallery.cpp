#include "ui/Gallery.h"

#include "panel/LightToggle.h"
#include "ui/Colours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QGridLayout>

#include <gtest/gtest.h>

namespace vantora {
namespace {

using testing::renderGallery;

TEST(PanelKitGallery, Toggles)
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

} // namespace
} // namespace vantora
