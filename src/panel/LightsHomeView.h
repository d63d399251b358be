#pragma once

#include "bridge/HueSnapshot.h"
#include "store/AppIssue.h"

#include <QSet>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QMenu;
class QScrollArea;

namespace vantora {

class RoomSection;

namespace ui {
template <typename Row, typename Key>
class KeyedColumn;
class TextLabel;
}

// The page that lists the bridge's rooms and their lights: a header with the logo and the
// home power button, the rooms (favourites first) in a scrolling list that fades out at the
// bottom, and a footer with the error or notice line, the counts, the settings menu and a
// second home power button that slides in once the header has scrolled away.
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

    static constexpr int width = 440;
    static constexpr int scrollFadeHeight = 48;

    LightsHomeView(Actions actions, QWidget *parent = nullptr);
    ~LightsHomeView() override;

    void apply(const Fields &fields);
    const Fields &fields() const noexcept { return m_fields; }

    // The page's menu, owned by `parent`.
    QMenu *makeContextMenu(QWidget *parent);

    QScrollArea *scrollArea() const noexcept { return m_scroll; }
    RoomSection *roomSection(const QString &roomID) const;
    ui::TextLabel *summary() const noexcept { return m_summary; }

protected:
    bool event(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyRooms();
    void applyFooter();
    void placeFade();

    Actions m_actions;
    Fields m_fields;
    QScrollArea *m_scroll;
    QWidget *m_fade;
    ui::KeyedColumn<RoomSection, QString> *m_rooms;
    QWidget *m_footer;
    ui::TextLabel *m_summary;
};

} // namespace vantora
