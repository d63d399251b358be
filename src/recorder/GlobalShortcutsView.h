#pragma once

#include "shortcuts/Name.h"
#include "shortcuts/Shortcut.h"

#include <QWidget>

#include <functional>
#include <map>

namespace vantora {
class ToggleAppearance;
}

namespace vantora::ui {
class TextLabel;
}

namespace vantora::recorder {

struct RecorderServices;
class RecorderView;

// The panel's keyboard-shortcuts page: one recorder for each of the app's two global
// shortcuts (show or hide the panel, switch all lights), each beside a picture of what it
// does, and the toggle colour picker. A recorded shortcut is stored at once; Escape (when no
// recorder is recording) and the back button leave the page.
class GlobalShortcutsView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int pageWidth = 440;
    static constexpr int recorderWidth = 132;

    // Where a person opens the panel by hand, which the "Show or hide app" row names.
    enum class PanelPlace {
        trayIcon, // beside the icon, by a click on it
        window, // no tray: the application's own window
    };

    // `hotKeysWork` is false where no X server takes key grabs (a Wayland session without
    // XWayland): the page then says so instead of recording shortcuts that could never fire.
    GlobalShortcutsView(RecorderServices &services, ToggleAppearance &toggleAppearance, std::function<void()> back,
                        bool hotKeysWork = true, PanelPlace panelPlace = PanelPlace::trayIcon,
                        QWidget *parent = nullptr);

    // Read out whenever the page is shown.
    static QString title();

    RecorderView &showRecorder() const noexcept { return *m_showRecorder; }
    RecorderView &toggleRecorder() const noexcept { return *m_toggleRecorder; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *buildHeader();
    QWidget *buildShortcutCard(bool hotKeysWork, PanelPlace panelPlace);
    QWidget *buildRow(bool isPanel, RecorderView *recorder, const QString &title, const QString &subtitle);
    void followScreen();
    // Shortcuts recorded here wait for the desktop's word on them (where it has one).
    void followDesktop(RecorderView *recorder, const GlobalShortcuts::Name &name);
    void explainDesktopBindings();
    void sayWhatWasTurnedDown();

    RecorderServices &m_services;
    std::function<void()> m_back;
    RecorderView *m_showRecorder = nullptr;
    RecorderView *m_toggleRecorder = nullptr;
    // Shown while the desktop asks the user about a shortcut of this page.
    ui::TextLabel *m_askingNote = nullptr;
    // Names, in words, the shortcuts the person turned down in the desktop's window.
    ui::TextLabel *m_turnedDownNote = nullptr;
    // By name: the shortcut shown or recorded here whose binding by the desktop was not yet
    // found wanting.
    std::map<QString, GlobalShortcuts::Shortcut> m_awaitingDesktop;
};

} // namespace vantora::recorder
