#pragma once

#include <functional>
#include <memory>

namespace vantora::runtime {
class Executor;
} // namespace vantora::runtime

namespace vantora::ui {

// Folds any number of change signals into one evaluation on a later turn of the executor, so
// a view rebuilds once after a burst of model changes. Destroying the invalidator drops a
// pending evaluation.
class Invalidator final {
public:
    Invalidator(runtime::Executor &executor, std::function<void()> evaluate);
    Invalidator(const Invalidator &) = delete;
    Invalidator &operator=(const Invalidator &) = delete;

    void invalidate();
    bool isPending() const noexcept { return *m_pending; }

private:
    runtime::Executor &m_executor;
    std::function<void()> m_evaluate;
    // Shared with the posted work, which outlives this object when it is dropped.
    std::shared_ptr<bool> m_pending = std::make_shared<bool>(false);
};

} // namespace vantora::ui
