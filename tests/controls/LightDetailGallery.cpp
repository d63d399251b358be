#include "StoreRig.h"
#include "ui/Gallery.h"

#include "bridge/HueError.h"
#include "controls/LightDetailView.h"

#include <QHBoxLayout>
#include <QImage>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace vantora::testing {
namespace {

// The demonstration home with a plain switch added, and a long name on the white light.
HueSnapshot galleryHome()
{
    HueSnapshot home = HueSnapshot::demo();
    home.lights[1].name = QStringLiteral("Sofa lamp by the window with a name far too long for one line");
    home.lights.push_back(HueLight{.id = QStringLiteral("plug"), .name = QStringLiteral("Smart plug"),
                                   .roomID = QStringLiteral("kitchen"), .roomName = QStringLiteral("Kitchen"),
                                   .isOn = true, .isReachable = true});
    return home;
}

void renderPage(const char *name, StoreRig &rig, const char *lightID)
{
    const QStringList written = renderGallery(QString::fromLatin1(name), [&](QWidget &page, ui::ColorScheme) {
        auto *layout = new QHBoxLayout(&page);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *view = new LightDetailView(*rig.store, QString::fromLatin1(lightID), &page);
        // As on a screen with room for the whole page.
        view->setFixedHeight(LightDetailView::tallestHeight);
        layout->addWidget(view);
    });
    ASSERT_EQ(written.size(), 2);
    for (const QString &path : written)
        EXPECT_FALSE(QImage(path).isNull());
}

TEST(LightDetailGallery, Pages)
{
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(galleryHome());
    renderPage("detail-colour-light", rig, "1");
    renderPage("detail-white-light", rig, "2");
    renderPage("detail-on-off-light", rig, "plug");
    renderPage("detail-unreachable-light", rig, "5");

    rig.lights->lightUpdates.thenFail(HueError::http(503));
    rig.start(store.updateLight(lightWithID(store.snapshot(), QStringLiteral("1")), {.brightness = 30}));
    rig.harness.clock.advance(1s);
    renderPage("detail-failed-change", rig, "1");
}

} // namespace
} // namespace vantora::testing
