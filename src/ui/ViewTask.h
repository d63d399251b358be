#pragma once

#include "runtime/TaskScope.h"

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace vantora::ui {

// Work that runs while a view is on screen: the body starts (on a later turn of the view's
// executor) when the view is shown, and is cancelled when the view is hidden or destroyed. A
// view that is shown again starts a fresh run. The body's waits must be cancellable (sleeps
// on the view's clock, external waits with a cancel hook).
class ViewTask final : public QObject {
    Q_OBJECT
public:
    using Body = std::function<runtime::Task<void>()>;

    // Starts at once when `view` is already visible.
    ViewTask(QWidget *view, Body body);

    bool isRunning() const;
    // Cancels the current run, if any, and starts a new one when the view is visible.
    void restart();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void start();
    void cancel();

    QWidget *m_view;
    Body m_body;
    runtime::TaskHandle<void> m_run;
    std::unique_ptr<runtime::TaskScope> m_tasks;
};

} // namespace vantora::ui
