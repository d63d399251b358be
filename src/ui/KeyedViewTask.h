#pragma once

#include "ui/ViewTask.h"

#include <QPointer>

#include <functional>

namespace vantora::ui {

// A ViewTask whose body takes a key: while the view is on screen, a new key cancels the
// running body and starts it again with that key; an equal key changes nothing. The body gets
// the key by value, as a coroutine must not hold references to its caller's state.
template <typename Key>
class KeyedViewTask final {
public:
    using Body = std::function<runtime::Task<void>(Key)>;

    KeyedViewTask(QWidget *view, Key initial, Body body)
        : m_key(std::move(initial))
        , m_body(std::move(body))
        , m_task(new ViewTask(view, [this] { return m_body(m_key); }))
    {
    }

    ~KeyedViewTask() { delete m_task.data(); }
    KeyedViewTask(const KeyedViewTask &) = delete;
    KeyedViewTask &operator=(const KeyedViewTask &) = delete;

    const Key &key() const noexcept { return m_key; }
    bool isRunning() const { return m_task->isRunning(); }

    void setKey(Key key)
    {
        if (key == m_key)
            return;
        m_key = std::move(key);
        m_task->restart();
    }

private:
    Key m_key;
    Body m_body;
    // A child of the view; gone already when the view dies first.
    QPointer<ViewTask> m_task;
};

} // namespace vantora::ui
