#pragma once

#include "app/AppWindow.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class QWidget;

namespace vantora {

// The windows that open only on request, one of each at most: opening one that is open
// brings it to the front. A window takes the size of its content and offers no maximising; it
// is deleted when closed, and closing it touches nothing else.
class AppWindows final : public QObject {
    Q_OBJECT
public:
    // Builds a window's content for `window`, which owns it.
    using ContentFactory = std::function<QWidget *(QWidget &window)>;
    // Runs for every new window, before it shows.
    using WindowSetup = std::function<void(QWidget &window)>;

    explicit AppWindows(WindowSetup setup, QObject *parent = nullptr);
    ~AppWindows() override;

    void setContent(AppWindow window, ContentFactory factory);
    bool canOpen(AppWindow window) const { return m_factories.contains(window); }

    // Shows the window and brings the application to the front with it. False (and nothing
    // shown) when there is no content for it.
    bool open(AppWindow window);
    QWidget *window(AppWindow window) const;

private:
    WindowSetup m_setup;
    std::map<AppWindow, ContentFactory> m_factories;
    std::map<AppWindow, QPointer<QWidget>> m_open;
};

} // namespace vantora
