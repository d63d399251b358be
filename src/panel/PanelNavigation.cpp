#include "panel/PanelNavigation.h"

namespace vantora {

PanelNavigation::PanelNavigation(QObject *parent)
    : QObject(parent)
    , m_showsShortcuts(false, [this] { Q_EMIT showsShortcutsChanged(); })
{
}

} // namespace vantora
