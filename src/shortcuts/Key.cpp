#include "Key.h"

#include <QSet>

namespace vantora::GlobalShortcuts {

bool isFunctionKeyCode(qint64 carbonKeyCode)
{
    static const QSet<qint64> codes = [] {
        QSet<qint64> set;
        for (const Key key : {Key::f1, Key::f2, Key::f3, Key::f4, Key::f5, Key::f6, Key::f7, Key::f8, Key::f9,
                              Key::f10, Key::f11, Key::f12, Key::f13, Key::f14, Key::f15, Key::f16, Key::f17,
                              Key::f18, Key::f19, Key::f20, Key::help, Key::deleteForward, Key::keypadClear,
                              Key::home, Key::end, Key::pageUp, Key::pageDown, Key::upArrow, Key::rightArrow,
                              Key::downArrow, Key::leftArrow})
            set.insert(key.rawValue);
        return set;
    }();
    return codes.contains(carbonKeyCode);
}

} // namespace vantora::GlobalShortcuts
