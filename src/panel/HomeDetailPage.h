#pragma once

#include "runtime/TaskScope.h"

#include <QWidget>

#include <memory>

namespace vantora {

class HalvetStore;
class LightsHomeView;
class LightsPanel;

// The lights page of the panel: the rooms-and-lights list, with the page of the selected
// light laid over it. It hands the list what the store and the panel hold, and turns the
// list's gestures into store operations, selection changes and favourite changes. The list
// stays alive under a light's page, so its scroll position and open room survive a visit.
//
// Store operations run as tasks of this page, each awaiting one operation; nobody waits for
// them, and failures come back through the store.
class HomeDetailPage final : public QWidget {
    Q_OBJECT
public:
    HomeDetailPage(HalvetStore &store, LightsPanel &panel, QWidget *parent = nullptr);
    ~HomeDetailPage() override;

    // Reads the store and the panel afresh.
    void evaluate();

    LightsHomeView *home() const noexcept { return m_home; }

private:
    runtime::TaskScope &tasks();
    void run(runtime::Task<void> operation);

    HalvetStore &m_store;
    LightsPanel &m_panel;
    LightsHomeView *m_home;
    std::unique_ptr<runtime::TaskScope> m_tasks;
};

} // namespace vantora
