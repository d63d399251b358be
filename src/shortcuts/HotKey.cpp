#include "HotKey.h"

#include "shortcuts/HotKeyCenter.h"

namespace vantora::GlobalShortcuts {

HotKey::HotKey(HotKeyCenter &centre, quint32 id, Shortcut shortcut, Callback onKeyDown, Callback onKeyUp)
    : m_centre(&centre)
    , m_id(id)
    , m_shortcut(shortcut)
    , m_onKeyDown(std::move(onKeyDown))
    , m_onKeyUp(std::move(onKeyUp))
{
    Q_ASSERT_X(shortcut.carbonKeyCode >= 0 && shortcut.carbonKeyCode <= 0xFFFFFFFF, "HotKey", "key code out of range");
    Q_ASSERT_X(shortcut.carbonModifiers >= 0 && shortcut.carbonModifiers <= 0xFFFFFFFF, "HotKey",
               "modifiers out of range");
    Q_ASSERT_X(id > 0, "HotKey", "ids start at 1");
}

HotKey::~HotKey()
{
    if (m_centre)
        m_centre->forget(*this);
}

void HotKey::keyDown() const
{
    if (m_onKeyDown)
        m_onKeyDown();
}

void HotKey::keyUp() const
{
    if (m_onKeyUp)
        m_onKeyUp();
}

} // namespace vantora::GlobalShortcuts
