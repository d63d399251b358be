#pragma once

#include "bridge/ServiceFactories.h"
#include "panel/FooterPowerMotion.h"
#include "store/StoreServices.h"
#include "ui/KeyedViewTask.h"

#include <QWidget>

#include <memory>

class QAbstractButton;
class QCheckBox;
class QFrame;
class QPushButton;

namespace vantora {

class HalvetStore;
class LightsPanel;
class PanelNavigation;

namespace runtime {
class Clock;
class Executor;
class UserDefaults;
} // namespace runtime

namespace ui {
class SegmentedControl;
class TextLabel;
} // namespace ui

// The content of the "Motion examples" window: a live lights panel over a demonstration home
// of 15 sample lights, above controls that pick how its footer power button comes into view
// and play that motion again. The button either follows the list's scroll position ("Try by
// scrolling") or is forced shown or hidden; "Replay" hides it and shows it again 0.3 s later.
//
// The demonstration store keeps its connection in memory: the window never reads, saves or
// deletes the user's saved bridge, and never contacts a bridge.
class FooterMotionPreview final : public QWidget {
    Q_OBJECT
public:
    static constexpr int width = 440;
    static constexpr std::chrono::milliseconds replayPause{300};
    static constexpr int sampleLightCount = 15;

    // What the demonstration store is built with, as the application builds its own store;
    // null clock and executor mean the application's.
    struct Services final {
        LightServiceFactory lightServices;
        PairingServiceFactory pairingServices;
        BridgeSearch discover;
        runtime::Clock *clock = nullptr;
        runtime::Executor *executor = nullptr;
    };

    // `defaults` (the application's) must outlive the window.
    FooterMotionPreview(Services services, runtime::UserDefaults &defaults, QWidget *parent = nullptr);
    ~FooterMotionPreview() override;

    FooterPowerMotion selection() const noexcept { return m_selection; }
    void select(FooterPowerMotion motion);
    bool isButtonForcedVisible() const noexcept { return m_visible; }
    bool usesScroll() const noexcept { return m_useScroll; }
    void setUsesScroll(bool useScroll);
    void replay();
    void toggleVisible();

    HalvetStore &store() const noexcept { return *m_store; }
    LightsPanel *panel() const noexcept { return m_panel; }
    QAbstractButton *motionButton(FooterPowerMotion motion) const;
    QPushButton *replayButton() const noexcept { return m_replayButton; }
    QPushButton *showHideButton() const noexcept { return m_showHideButton; }
    QCheckBox *scrollCheckBox() const noexcept { return m_scrollCheckBox; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildControls();
    runtime::Task<void> runReplay(int replay);
    void setVisibleOverride(bool visible);
    void showSettings();
    void followScheme();

    FooterPowerMotion m_selection = FooterPowerMotion::softSpring;
    int m_replay = 0;
    bool m_visible = false;
    bool m_useScroll = false;

    std::unique_ptr<HalvetStore> m_store;
    std::unique_ptr<PanelNavigation> m_navigation;
    QWidget *m_controls = nullptr;
    QFrame *m_divider = nullptr;
    ui::SegmentedControl *m_motions = nullptr;
    ui::TextLabel *m_description = nullptr;
    QCheckBox *m_scrollCheckBox = nullptr;
    QPushButton *m_replayButton = nullptr;
    QPushButton *m_showHideButton = nullptr;
    LightsPanel *m_panel = nullptr;
    std::unique_ptr<ui::KeyedViewTask<int>> m_replayTask;
};

} // namespace vantora
