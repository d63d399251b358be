#include "statusitem/PanelWindowIntrospection.h"

#include "statusitem/StatusItemUtils.h"

#include <QEvent>
#include <QWidget>

namespace vantora::statusitem {

void PanelWindowIntrospection::introspectPanelWindow(QWidget &content, const PlatformApplication &application,
                                                     int index, Completion completion)
{
    new PanelWindowIntrospection(content, application, index, std::move(completion));
}

PanelWindowIntrospection::PanelWindowIntrospection(QWidget &content, const PlatformApplication &application,
                                                   int index, Completion completion)
    : QObject(&content)
    , m_application(application)
    , m_index(index)
    , m_completion(std::move(completion))
{
    content.installEventFilter(this);
}

bool PanelWindowIntrospection::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched == parent()) {
        if (const auto window = StatusItemUtils::window(m_application, StatusItemIdentity::index(m_index)))
            m_completion(*window);
    }
    return false;
}

} // namespace vantora::statusitem
