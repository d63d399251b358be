#pragma once

#include "bridge/HueSnapshot.h"
#include "panel/RoomSection.h"
#include "store/AppIssue.h"
#include "controls/HomePowerButton.h"
#include "ui/ContextMenu.h"
#include "ui/FocusReturn.h"

#include <QAbstractButton>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QBoxLayout;

namespace vantora {

class RoomEdgeOverlay;

namespace controls {
class RoomBrightnessSlider;
}

namespace ui {
template <typename Row, typename Key>
class KeyedColumn;
class Popover;
class ScrollArea;
class ScrollThreshold;
class TextLabel;
}

// The page that lists the bridge's rooms and their lights: a header with the logo and the
// home power button, the rooms (favourites first) in a scrolling list that fades out at the
// bottom, and a footer with the error or notice line, the counts, the settings menu and a
// second home power button that slides in once the header has scrolled 46 pixels away.
//
// It shows what it is given and reports every gesture through its actions; it keeps only
// view state (scroll position, the expanded room and its draft brightness, the footer
// button), which survives every apply().
class LightsHomeView final : public QWidget {
    Q_OBJECT
public:
    struct Fields final {
        HueSnapshot snapshot{};
        // Disables "Refresh lights" and the retry button.
        bool isWorking = false;
        QSet<QString> updatingLightIDs{};
        bool controlsLocked = false;
        bool hasVerifiedConnection = false;
        std::optional<AppIssue> issue{};
        std::optional<QString> errorMessage{};
        QString recoveryTitle{};
        std::optional<QString> notice{};
        // The store shows sample lights.
        bool isPreview = false;
        bool showsArrivalPill = false;
        // A fixed page height; absent means from the screen.
        std::optional<qreal> height{};
        QStringList favouriteRoomIDs{};
        // From the store's full snapshot; absent means judged from `snapshot`.
        std::optional<bool> allLightsAreOff{};

        friend bool operator==(const Fields &, const Fields &) = default;
    };

    struct Actions final {
        std::function<void()> dismissIssue{};
        std::function<void(const HueLight &)> openLight{};
        std::function<void(const HueLight &, double brightness)> adjustBrightness{};
        std::function<void(const HueLight &, bool on)> setLight{};
        std::function<void()> allOn{};
        std::function<void(const QString &roomID, bool on)> setRoomPower{};
        std::function<void(const QString &roomID, double brightness)> setRoomBrightness{};
        std::function<void(const QString &roomID)> toggleFavourite{};
        std::function<void()> allOff{};
        std::function<void()> refresh{};
    };

    // The footer's message line.
    enum class MessageLine {
        none,
        error,
        notice,
    };

    static constexpr int width = 440;
    static constexpr int scrollFadeHeight = 48;
    static constexpr int headerScrollThreshold = 46;

    explicit LightsHomeView(Actions actions, QWidget *parent = nullptr);
    ~LightsHomeView() override;

    void apply(const Fields &fields);
    const Fields &fields() const noexcept { return m_fields; }

    // The page's menu as it would open now.
    std::vector<ui::MenuEntry> menuEntries() const;

    const std::optional<QString> &expandedRoomID() const noexcept { return m_expandedRoomID; }
    // Opens the room's brightness control, or closes it when it is the open one.
    void toggleExpandedRoom(const QString &roomID);
    void collapseExpandedRoom();
    const std::optional<double> &roomBrightnessDraft() const noexcept { return m_roomBrightnessDraft; }
    bool showsFooterPower() const noexcept { return m_footerPower != nullptr; }
    bool headerHasScrolledAway() const noexcept { return m_headerHasScrolledAway; }
    MessageLine messageLine() const noexcept { return m_messageLine; }
    // The open room brightness control: over the card (edge style) or in a popover.
    RoomEdgeOverlay *edgeOverlay() const;
    ui::Popover *brightnessPopover() const;

    ui::ScrollArea *scrollArea() const noexcept { return m_scroll; }
    RoomSection *roomSection(const QString &roomID) const;
    controls::HomePowerButton *headerPower() const noexcept { return m_headerPower; }
    controls::HomePowerButton *footerPower() const { return m_footerPower; }
    QWidget *summary() const noexcept { return m_summary; }
    QWidget *messageWidget() const { return m_message; }
    QAbstractButton *retryButton() const { return m_retry; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void applyRooms(bool favouritesChanged);
    void applyIssue(const std::optional<AppIssue> &before);
    void applyMessageLine();
    void applySummary();
    void applyHomePower();
    void setExpandedRoom(std::optional<QString> roomID);
    void applyBrightnessControl();
    void applyEdgeOverlay(const LightRoom *room);
    // Hands the keyboard on from `overlay` while it still shows, as `step` says, to its room's
    // brightness button or the control after it.
    void giveFocusBackFrom(const RoomEdgeOverlay &overlay, ui::FocusStep step);
    void applyPopover(const LightRoom *room);
    void placeEdgeOverlay();
    void roomBrightnessRequested(const QString &roomID, double brightness);
    void headerScrolled(bool away);
    void followFooterOverride();
    void setFooterPowerShown(bool shown);
    void pressHomePower();
    void placeFade();
    void followScheme();

    Actions m_actions;
    RoomSection::Actions m_roomActions;
    Fields m_fields;
    bool m_applied = false;

    std::optional<QString> m_expandedRoomID;
    std::optional<double> m_roomBrightnessDraft;
    bool m_headerHasScrolledAway = false;

    QBoxLayout *m_column;
    QPointer<QWidget> m_issueNotice;
    ui::ScrollArea *m_scroll;
    QWidget *m_listArea;
    QWidget *m_fade;
    ui::KeyedColumn<RoomSection, QString> *m_rooms;
    controls::HomePowerButton *m_headerPower;
    QBoxLayout *m_footerColumn;
    MessageLine m_messageLine = MessageLine::none;
    QPointer<QWidget> m_message;
    QPointer<QAbstractButton> m_retry;
    QWidget *m_summary;
    ui::TextLabel *m_roomText;
    ui::TextLabel *m_lightText;
    QBoxLayout *m_footerControls;
    // The settings pill left of the footer's power button; none without settings.
    QPointer<QWidget> m_footerMenu;
    QPointer<controls::HomePowerButton> m_footerPower;
    // The control (a home power button, the retry button) whose focus the page holds while
    // the control is disabled.
    QPointer<QWidget> m_focusHeldFor;
    ui::ScrollThreshold *m_threshold;
    QPointer<RoomEdgeOverlay> m_edgeOverlay;
    QPointer<ui::Popover> m_popover;
    QPointer<controls::RoomBrightnessSlider> m_popoverSlider;
    QString m_popoverRoomID;
};

} // namespace vantora
