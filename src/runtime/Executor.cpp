#include "Executor.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

namespace vantora::runtime {

QtExecutor::QtExecutor()
    : m_context(new QObject)
{
}

QtExecutor::~QtExecutor()
{
    delete m_context.data();
}

void QtExecutor::post(std::function<void()> work)
{
    // Queued calls to one receiver are delivered in posting order, which keeps the queue FIFO.
    QMetaObject::invokeMethod(m_context.data(), std::move(work), Qt::QueuedConnection);
}

void ManualExecutor::post(std::function<void()> work)
{
    m_queue.push_back(std::move(work));
}

bool ManualExecutor::runOne()
{
    if (m_queue.empty())
        return false;
    auto work = std::move(m_queue.front());
    m_queue.pop_front();
    work();
    return true;
}

std::size_t ManualExecutor::runUntilIdle()
{
    std::size_t count = 0;
    while (runOne())
        ++count;
    return count;
}

Executor &mainExecutor()
{
    Q_ASSERT(QCoreApplication::instance());
    static QtExecutor executor;
    return executor;
}

void assertOnMain()
{
#ifndef NDEBUG
    if (auto *app = QCoreApplication::instance())
        Q_ASSERT(QThread::currentThread() == app->thread());
#endif
}

} // namespace vantora::runtime
