#include "Gallery.h"

#include "ui/EnvironmentKeys.h"
#include "ui/Colours.h"
#include "ui/DynamicColor.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

namespace vantora::testing {

namespace {

// The lights panel's own background, on which these views appear.
const ui::DynamicColor panelBackground{ui::colours::grey(0.95), ui::colours::grey(0.13)};

} // namespace

QString galleryDirectory()
{
    return QStringLiteral(VANTORA_GALLERY_DIR);
}

QString schemeName(ui::ColorScheme scheme)
{
    return scheme == ui::ColorScheme::Dark ? QStringLiteral("dark") : QStringLiteral("light");
}

QStringList renderGallery(const QString &name, const std::function<void(QWidget &page, ui::ColorScheme)> &build)
{
    QDir().mkpath(galleryDirectory());
    QStringList written;
    for (const ui::ColorScheme scheme : {ui::ColorScheme::Light, ui::ColorScheme::Dark}) {
        QWidget page;
        ui::Environment::scope(&page).set(ui::colorSchemeKey, scheme);
        QPalette palette = page.palette();
        palette.setColor(QPalette::Window, panelBackground.resolve(scheme));
        page.setPalette(palette);
        page.setAutoFillBackground(true);
        build(page, scheme);
        page.adjustSize();
        page.show();
        QApplication::processEvents();
        const QString path = QStringLiteral("%1/%2-%3.png").arg(galleryDirectory(), name, schemeName(scheme));
        if (page.grab().save(path))
            written << path;
    }
    return written;
}

} // namespace vantora::testing
