#include "controls/RoomActionButton.h"

#include "ui/EnvironmentKeys.h"

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

namespace vantora::controls {
namespace {

// Collects what Qt logs while alive: a picture that cannot be read says so only there.
class LogCapture final {
public:
    LogCapture() { s_previous = qInstallMessageHandler(&LogCapture::record); s_messages.clear(); }
    ~LogCapture() { qInstallMessageHandler(s_previous); }
    const QStringList &messages() const { return s_messages; }

private:
    static void record(QtMsgType, const QMessageLogContext &, const QString &message) { s_messages << message; }
    static inline QtMessageHandler s_previous = nullptr;
    static inline QStringList s_messages;
};

// The mean lightness of what the button draws, weighted by coverage.
double drawnLightness(const QImage &image)
{
    double sum = 0;
    double weight = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            sum += pixel.lightnessF() * pixel.alphaF();
            weight += pixel.alphaF();
        }
    }
    return weight > 0 ? sum / weight : -1;
}

TEST(ControlImagesTest, RoomButtonsDrawEveryStateInBothSchemesAndLighterOnDark)
{
    for (const auto kind : {RoomActionButton::Kind::Heart, RoomActionButton::Kind::Power}) {
        for (const bool active : {false, true}) {
            SCOPED_TRACE(RoomActionButton::rawValue(kind).toStdString() + (active ? " active" : " resting"));
            double lightness[2] = {};
            for (const ui::ColorScheme scheme : {ui::ColorScheme::Light, ui::ColorScheme::Dark}) {
                QWidget host;
                ui::Environment::scope(&host).set(ui::colorSchemeKey, scheme);
                auto *button = new RoomActionButton(kind, &host);
                button->setActive(active);
                button->resize(button->sizeHint());
                QImage drawn(button->size() * 2, QImage::Format_ARGB32_Premultiplied);
                drawn.setDevicePixelRatio(2);
                drawn.fill(Qt::transparent);
                LogCapture log;
                button->render(&drawn, {}, {}, QWidget::DrawChildren);
                EXPECT_EQ(log.messages().join(u'\n').toStdString(), "") << "every image it asks for exists";
                lightness[scheme == ui::ColorScheme::Dark] = drawnLightness(drawn);
                EXPECT_GE(lightness[scheme == ui::ColorScheme::Dark], 0) << "something is drawn";
            }
            EXPECT_GT(lightness[1], lightness[0]) << "the dark surfaces get a lighter picture";
        }
    }
}

} // namespace
} // namespace vantora::controls
