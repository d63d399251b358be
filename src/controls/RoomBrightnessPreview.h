#pragma once

#include "controls/RoomBrightnessStyle.h"

#include "runtime/Clock.h"
#include "runtime/Executor.h"

#include <QLatin1String>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;

namespace vantora {
class ConnectionStorage;
class HalvetStore;
}

namespace vantora::ui {
class SegmentedControl;
class TextLabel;
} // namespace vantora::ui

namespace vantora::controls {

// A window for comparing the four room brightness styles in the real lights panel without
// a bridge: a title with a "Dark" switch, a style picker, a caption naming the chosen style's
// footprint, and under them the panel over a demonstration store of fifteen sample lights.
// Choosing a style builds the panel afresh (closing any open control); the store and the
// changes made in it stay.
class RoomBrightnessPreview final : public QWidget {
    Q_OBJECT
public:
    // Makes the lights panel over `store` as a child of `parent`.
    using PanelFactory = std::function<QWidget *(HalvetStore &store, QWidget *parent)>;

    // The command-line flag that opens this window instead of the tray application, and the
    // window's identity and title.
    static constexpr QLatin1String launchFlag{"--brightness-preview"};
    static constexpr QLatin1String windowIdentifier{"brightness-preview"};
    static QString title();
    static bool isRequested(const QStringList &arguments);

    // "32 × 144 pt · two light rows tall", and the caption built from it.
    static QString footprintText(RoomBrightnessStyle style);
    static QString caption(RoomBrightnessStyle style);

    // A demonstration store with the fifteen-light sample home; it never touches `storage`
    // or a network.
    static std::unique_ptr<HalvetStore> makeDemoStore(std::unique_ptr<ConnectionStorage> storage,
                                                      runtime::Clock &clock = runtime::systemClock(),
                                                      runtime::Executor &executor = runtime::mainExecutor());

    RoomBrightnessPreview(std::unique_ptr<HalvetStore> store, PanelFactory makePanel, QWidget *parent = nullptr);
    ~RoomBrightnessPreview() override;

    RoomBrightnessStyle selection() const noexcept { return m_selection; }
    void select(RoomBrightnessStyle style);
    bool isDark() const noexcept { return m_dark; }
    void setDark(bool dark);

    HalvetStore &store() const { return *m_store; }
    QWidget *panel() const { return m_panel; }
    QString captionText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuildPanel();
    void applyScheme();

    std::unique_ptr<HalvetStore> m_store;
    PanelFactory m_makePanel;
    RoomBrightnessStyle m_selection = RoomBrightnessStyle::edge;
    bool m_dark = false;
    QCheckBox *m_darkSwitch;
    ui::SegmentedControl *m_picker;
    ui::TextLabel *m_caption;
    QWidget *m_divider;
    QWidget *m_panelHost;
    QPointer<QWidget> m_panel;
};

} // namespace vantora::controls
