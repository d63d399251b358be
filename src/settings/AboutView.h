#pragma once

#include "settings/UrlOpener.h"

#include <QWidget>

namespace vantora {

class ApplicationInfo;

// The content of the About window: artwork, logo, version (the build in its tooltip), the
// support, website and social links, and a disclaimer, on a fixed 320 × 390 page coloured
// by the scheme of its environment. Escape closes the window it is in. It opens with the
// focus on the version; closed, it gives the focus back to where it was.
class AboutView final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize pageSize{320, 390};

    AboutView(const ApplicationInfo &info, UrlOpener openURL, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Shows the one About window of the application, made on first use (a window of the active
// window of the application, if any), and brings it to the front; returns it.
QWidget *showAboutWindow();

} // namespace vantora
