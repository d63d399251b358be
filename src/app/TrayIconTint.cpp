#include "app/TrayIconTint.h"

#include "app/TrayIconImage.h"
#include "platform/x11/X11TrayColours.h"
#include "ui/EnvironmentKeys.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <vector>

namespace vantora {

namespace {

constexpr std::chrono::milliseconds sampleDelays[] = {std::chrono::milliseconds(0), std::chrono::milliseconds(250),
                                                       std::chrono::milliseconds(1000)};

} // namespace

TrayIconTint::TrayIconTint(QSystemTrayIcon &icon, QObject *parent)
    : QObject(parent)
    , m_icon(icon)
{
    m_sampler.setSingleShot(true);
    connect(&m_sampler, &QTimer::timeout, this, &TrayIconTint::sampleBackground);
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_trayColours = std::make_unique<platform::X11TrayColours>();
        connect(m_trayColours.get(), &platform::X11TrayColours::changed, this, &TrayIconTint::update);
    }
    connect(&ui::Environment::root(), &ui::Environment::changed, this, [this](const QByteArray &key) {
        if (key != ui::colorSchemeKey.name())
            return;
        update();
        // A tray that follows the desktop may have changed its background too.
        if (m_trayWindow)
            m_trayWindow->update();
    });
    update();
}

TrayIconTint::~TrayIconTint() = default;

void TrayIconTint::update()
{
    QColor tint;
    if (const auto asked = m_trayColours ? m_trayColours->foreground() : std::nullopt)
        tint = QColor::fromRgba64(asked->red, asked->green, asked->blue);
    else if (m_background)
        tint = trayGlyphColourOn(*m_background);
    else
        tint = ui::Environment::root().value(ui::colorSchemeKey) == ui::ColorScheme::Dark ? QColor(Qt::white)
                                                                                         : QColor(Qt::black);
    if (m_tint == tint)
        return;
    m_tint = tint;
    m_icon.setIcon(trayIconImage(tint, [self = QPointer(this)](QWidget &window, const QRect &glyph) {
        if (self)
            self->drawnInto(window, glyph);
    }));
}

void TrayIconTint::drawnInto(QWidget &window, const QRect &glyph)
{
    m_trayWindow = &window;
    m_glyph = glyph;
    // Once the paint has reached the screen, and again while the tray may still be laying
    // itself out around a new icon (moving, growing and drawing its background anew, which
    // our window shows without being drawn again).
    m_samplesLeft = std::size(sampleDelays);
    m_sampler.start(0);
}

void TrayIconTint::sampleBackground()
{
    if (m_samplesLeft > 0) {
        --m_samplesLeft;
        if (m_samplesLeft > 0)
            m_sampler.start(sampleDelays[std::size(sampleDelays) - m_samplesLeft]);
    }
    if (!m_trayWindow || !m_trayWindow->isVisible() || m_glyph.isEmpty())
        return;
    QScreen *screen = m_trayWindow->screen();
    if (!screen)
        return;
    const QImage shown = screen->grabWindow(m_trayWindow->winId(), m_glyph.x(), m_glyph.y(), m_glyph.width(),
                                            m_glyph.height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    // Where the glyph leaves its square empty, the window shows the tray behind it.
    const QImage glyph =
        trayIconImage(Qt::black).pixmap(shown.size()).toImage().convertToFormat(QImage::Format_ARGB32);
    std::vector<QColor> around;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (qAlpha(glyph.pixel(x, y)) == 0)
                around.push_back(shown.pixelColor(x, y));
        }
    }
    if (around.empty())
        return;
    // The middle one by lightness: a few pixels of a neighbour or an edge do not count.
    const auto middle = around.begin() + std::ptrdiff_t(around.size() / 2);
    std::nth_element(around.begin(), middle, around.end(),
                     [](const QColor &a, const QColor &b) { return a.lightness() < b.lightness(); });
    m_background = *middle;
    update();
}

} // namespace vantora
