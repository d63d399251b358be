#pragma once

#include "ui/ColorScheme.h"

#include <QString>

#include <functional>

class QWidget;

namespace vantora::testing {

// Renders widgets to PNG files under <build>/gallery, so a person can look at them. Each
// picture is made once per colour scheme: `build` fills a fresh page (a window in that scheme,
// on the panel's background) and the page is rendered as shown. Returns the paths
// written, light first.
QStringList renderGallery(const QString &name, const std::function<void(QWidget &page, ui::ColorScheme)> &build);

QString galleryDirectory();
QString schemeName(ui::ColorScheme scheme);

} // namespace vantora::testing
