#include "ui/Transaction.h"

#include <utility>

namespace vantora::ui {

const Animation *Transaction::s_current = nullptr;

Animation Transaction::current()
{
    return s_current ? *s_current : Animation::none();
}

void withAnimation(const Animation &animation, const std::function<void()> &changes)
{
    struct Restore {
        const Animation *outer;
        ~Restore() { Transaction::s_current = outer; }
    } restore{std::exchange(Transaction::s_current, &animation)};
    changes();
}

} // namespace vantora::ui
