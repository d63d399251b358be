#include "ui/Compositing.h"

#include "platform/x11/X11CompositingWatch.h"

#include <QGuiApplication>
#include <QPointer>

namespace vantora::ui {

Compositing &Compositing::shared()
{
    // Owned by the application, so that its connection closes with the application.
    static QPointer<Compositing> instance;
    if (!instance)
        instance = new Compositing;
    return *instance;
}

Compositing::Compositing()
    : QObject(QCoreApplication::instance())
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    m_x11 = platform::X11CompositingWatch::open({});
    if (m_x11)
        connect(m_x11.get(), &platform::X11CompositingWatch::compositingChanged, this, &Compositing::activeChanged);
}

Compositing::~Compositing() = default;

bool Compositing::isActive() const
{
    return !m_x11 || m_x11->isCompositing();
}

} // namespace vantora::ui
