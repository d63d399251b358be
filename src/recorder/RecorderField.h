#pragma once

#include "recorder/ValidationResult.h"

#include "shortcuts/ConflictPolicy.h"
#include "shortcuts/Name.h"
#include "shortcuts/Shortcut.h"

#include <QLineEdit>
#include <QPointer>

#include <functional>
#include <optional>

namespace vantora::recorder {

struct RecorderServices;

// The field in which the user records a global shortcut. It shows the current shortcut,
// records while it has keyboard focus, turns the next acceptable key press into a shortcut,
// checks it against the application's commands, the desktop's and other programs' grabs and
// the owner's rule, and stores it: under a name in user defaults, or in a value of its own
// that the owner reads through `onChange`.
//
// While it records, every global hot key is released (paused), so the keys reach this
// field instead of our own grabs, and the window's shortcuts (Ctrl+Q, Escape, …) do not fire.
// At most one field records at a time in the whole process.
class RecorderField final : public QLineEdit {
    Q_OBJECT
public:
    using OnChange = std::function<void(const std::optional<GlobalShortcuts::Shortcut> &)>;
    using Validator = std::function<GlobalShortcuts::ValidationResult(const GlobalShortcuts::Shortcut &)>;

    enum class StorageMode : quint8 { name, binding };

    static constexpr int minimumWidth = 130;

    // Name mode: shows and changes the shortcut stored for `name`.
    RecorderField(RecorderServices &services, GlobalShortcuts::Name name, OnChange onChange = {},
                  QWidget *parent = nullptr);
    // Binding mode: shows and changes a shortcut of its own, starting with `shortcut`.
    RecorderField(RecorderServices &services, std::optional<GlobalShortcuts::Shortcut> shortcut,
                  OnChange onChange = {}, QWidget *parent = nullptr);
    ~RecorderField() override;

    StorageMode storageMode() const noexcept { return m_storageMode; }

    const GlobalShortcuts::Name &shortcutName() const noexcept { return m_shortcutName; }
    // Reloads the text only when the raw value differs.
    void setShortcutName(const GlobalShortcuts::Name &name);

    std::optional<GlobalShortcuts::Shortcut> shortcut() const;
    // Does nothing for the shortcut shown already; otherwise stores it as a recording would.
    void setShortcut(const std::optional<GlobalShortcuts::Shortcut> &shortcut);

    void setValidateShortcut(Validator validator) { m_validateShortcut = std::move(validator); }
    const GlobalShortcuts::ConflictPolicy &conflictPolicy() const noexcept { return m_conflictPolicy; }
    void setConflictPolicy(const GlobalShortcuts::ConflictPolicy &policy) { m_conflictPolicy = policy; }
    void setOnChange(OnChange onChange) { m_onChange = std::move(onChange); }

    // What the tooltip and the description add to the field: how to use it. A reason the shown
    // keys do nothing comes first.
    void setHint(const QString &hint);

    // The row's texts that say what the field is for, for assistive technologies to relate.
    void setLabels(QWidget *title, QWidget *subtitle);
    QWidget *title() const { return m_title; }
    QWidget *subtitle() const { return m_subtitle; }

    bool isRecording() const noexcept { return m_isRecordingFilterInstalled; }
    // The field recording now, if any.
    static RecorderField *activeRecorder();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class RecordingFilter;
    friend class RecordingFilter;
    class ClearButton;

    void setUp();
    void followScheme();
    void updateText();
    void showText(const QString &shown);
    void showPlaceholder(const QString &placeholder);
    void setUnboundReason(const QString &reason);
    void watchWindow();
    void holdFocusForOneTurn();
    void startRecording();
    void endRecording();
    void describeState();
    void stopFocus();
    void clearShortcut();
    void setActive(bool active);

    // Whether a recorded key ends in a stored shortcut; consumes or passes the event on.
    bool handleKeyPress(const QKeyEvent &event);
    bool handleMouseRelease(const QMouseEvent &event);
    void record(const GlobalShortcuts::Shortcut &shortcut);
    // Whether to go on with a shortcut that clashes as `behaviour` says.
    bool handleConflict(GlobalShortcuts::ConflictBehavior behaviour, const QString &title,
                        const std::optional<QString> &informativeText);
    int showAlert(const QString &text, const std::optional<QString> &informativeText, const QStringList &buttons);
    void store(const GlobalShortcuts::Shortcut &shortcut);

    RecorderServices &m_services;
    const StorageMode m_storageMode;
    OnChange m_onChange;
    std::optional<GlobalShortcuts::Shortcut> m_bindingShortcut;
    GlobalShortcuts::Name m_shortcutName;
    Validator m_validateShortcut;
    GlobalShortcuts::ConflictPolicy m_conflictPolicy = GlobalShortcuts::ConflictPolicy::standard;
    QPointer<QWidget> m_watchedWindow;
    QPointer<QWidget> m_title;
    QPointer<QWidget> m_subtitle;
    QString m_hint;
    // Why the keys shown do nothing; empty while they work or none are shown.
    QString m_unboundReason;
    RecordingFilter *m_recordingFilter = nullptr;
    ClearButton *m_clearButton = nullptr;
    bool m_isRecordingFilterInstalled = false;
    bool m_isAlertShown = false;
    // Set by a recorded shortcut, cleared by the next key or a change of focus.
    bool m_takesNextEscape = false;

    static QPointer<RecorderField> s_activeRecorder;
};

} // namespace vantora::recorder
