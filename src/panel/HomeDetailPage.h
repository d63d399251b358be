#pragma once

#include "runtime/Task.h"

#include <QPointer>
#include <QWidget>


namespace vantora {

class HalvetStore;
class LightDetailView;
class LightsHomeView;
class LightsPanel;

namespace ui {
class Layers;
}

// The lights page of the panel: the rooms-and-lights list, with the page of the selected
// light laid over it. It hands the list what the store and the panel hold, and turns the
// list's gestures into store operations, selection changes and favourite changes. The list
// stays alive under a light's page, so its scroll position and open room survive a visit.
//
// Store operations run as tasks of the panel, each awaiting one operation; nobody waits for
// them, and failures come back through the store.
class HomeDetailPage final : public QWidget {
    Q_OBJECT
public:
    HomeDetailPage(HalvetStore &store, LightsPanel &panel, QWidget *parent = nullptr);
    ~HomeDetailPage() override;

    // Reads the store and the panel afresh.
    void evaluate();

    LightsHomeView *home() const noexcept { return m_home; }
    // The page of the selected light; absent while none is selected or it is not shown.
    LightDetailView *lightPage() const;

private:
    void run(runtime::Task<void> operation);
    void applyLightPage();
    // The row of `lightID` in the list, else the list's first control.
    void focusRowOf(const QString &lightID);

    HalvetStore &m_store;
    LightsPanel &m_panel;
    ui::Layers *m_layers;
    LightsHomeView *m_home;
    QPointer<LightDetailView> m_lightPage;
    QString m_lightPageID;
};

} // namespace vantora
