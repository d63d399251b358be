#pragma once

#include "statusitem/StatusItemObjects.h"

#include <QObject>

#include <functional>

class QWidget;

namespace vantora::statusitem {

// Hands the extra's panel window to `completion` each time `content` is shown, when the
// window can be found then; there is no retry. Owned by `content`.
class PanelWindowIntrospection final : public QObject {
    Q_OBJECT
public:
    using Completion = std::function<void(Window &)>;

    static void introspectPanelWindow(QWidget &content, const PlatformApplication &application, int index,
                                      Completion completion);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PanelWindowIntrospection(QWidget &content, const PlatformApplication &application, int index,
                             Completion completion);

    const PlatformApplication &m_application;
    int m_index;
    Completion m_completion;
};

} // namespace vantora::statusitem
