#include "app/TrayIconImage.h"

#include "ui/SvgImage.h"

#include <vantora/BuildInfo.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <cmath>

namespace vantora {

namespace {

class TrayIconEngine final : public QIconEngine {
public:
    TrayIconEngine(QColor tint, std::function<void(QWidget &, const QRect &)> drawnInto)
        : m_tint(tint)
        , m_drawnInto(std::move(drawnInto))
    {
    }

    QIconEngine *clone() const override { return new TrayIconEngine(m_tint, m_drawnInto); }
    QString key() const override { return QStringLiteral("vantora-tray"); }

    QString iconName() override
    {
        const QString name = trayIconThemeName();
        return QIcon::hasThemeIcon(name) ? name : QString();
    }

    // Trays ask for sizes from 16 to 48 pixels; each is drawn sharp rather than scaled.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(18, 18), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        m_bulb.paint(painter, QRectF(QPointF(0, 0), size), m_tint);
        return pixmap;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(rect.width(), rect.height());
        QRect glyph(0, 0, side, side);
        glyph.moveCenter(rect.center());
        m_bulb.paint(*painter, glyph, m_tint);
        if (!m_drawnInto)
            return;
        // A widget's painter reports the widget, even while it paints into a backing store.
        if (auto *window = dynamic_cast<QWidget *>(painter->device()); window && window->isWindow())
            m_drawnInto(*window, glyph);
    }

private:
    ui::SvgImage m_bulb{ui::Image::MenuBarBulb};
    QColor m_tint;
    std::function<void(QWidget &, const QRect &)> m_drawnInto;
};

} // namespace

QString trayIconThemeName()
{
    return QString::fromLatin1(buildinfo::applicationId) + QStringLiteral("-symbolic");
}

QString trayIconThemeFolder()
{
    const QString beside = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/icons"));
    const QString bulb = QStringLiteral("/hicolor/scalable/status/") + trayIconThemeName() + QStringLiteral(".svg");
    return QFileInfo::exists(beside + bulb) ? beside : QString();
}

void addTrayIconSearchPath()
{
    const QString beside = trayIconThemeFolder();
    QStringList paths = QIcon::themeSearchPaths();
    if (beside.isEmpty() || paths.contains(beside))
        return;
    // Last: the desktop's own hicolor folders come first and describe the theme.
    paths.append(beside);
    QIcon::setThemeSearchPaths(paths);
}

QIcon trayIconImage(const QColor &tint, std::function<void(QWidget &window, const QRect &glyph)> drawnInto)
{
    return QIcon(new TrayIconEngine(tint, std::move(drawnInto)));
}

QList<QImage> outlinedTrayIconImages()
{
    const ui::SvgImage bulb(ui::Image::MenuBarBulb);
    QList<QImage> images;
    for (const int side : {16, 22, 24, 32, 48}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        const qreal outline = std::max(1.0, side / 16.0);
        const QRectF glyph(outline, outline, side - 2 * outline, side - 2 * outline);
        // The outline is the glyph in dark, moved round a circle as wide as the outline.
        constexpr int steps = 16;
        for (int step = 0; step < steps; ++step) {
            const qreal angle = 2 * M_PI * step / steps;
            bulb.paint(painter, glyph.translated(outline * std::cos(angle), outline * std::sin(angle)),
                       QColor(24, 24, 24));
        }
        bulb.paint(painter, glyph, QColor(Qt::white));
        painter.end();
        images.append(image);
    }
    return images;
}

QColor trayGlyphColourOn(const QColor &background)
{
    // Relative luminance with the sRGB weights, on the channels as they are (no gamma).
    const double luminance = 0.2126 * background.redF() + 0.7152 * background.greenF() + 0.0722 * background.blueF();
    return luminance < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace vantora
