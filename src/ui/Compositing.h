#pragma once

#include <QObject>

#include <memory>

namespace vantora::platform {
class X11CompositingWatch;
}

namespace vantora::ui {

// Whether the desktop composites windows, so that a window's transparent pixels show what lies
// beneath it. Without a compositing manager an X server shows them black. Where this cannot be
// told (not on X11), windows are taken to be composited.
class Compositing final : public QObject {
    Q_OBJECT
public:
    // The application's, made on first use on the main thread.
    static Compositing &shared();

    bool isActive() const;

Q_SIGNALS:
    void activeChanged();

private:
    Compositing();
    ~Compositing() override;

    // None where the desktop cannot be asked.
    std::unique_ptr<platform::X11CompositingWatch> m_x11;
};

} // namespace vantora::ui
