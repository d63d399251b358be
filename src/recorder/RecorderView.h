#pragma once

#include "recorder/RecorderField.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <variant>

namespace vantora::recorder {

// A shortcut its owner keeps: read for showing, written when the user records or clears.
struct ShortcutBinding final {
    std::function<std::optional<GlobalShortcuts::Shortcut>()> get;
    std::function<void(const std::optional<GlobalShortcuts::Shortcut> &)> set;
};

// Where a recorder reads and writes its shortcut.
using ShortcutSource = std::variant<GlobalShortcuts::Name, ShortcutBinding>;

// The recorder as views place it: a recorder field for a name or a binding, optionally
// with a label in front of it. The conflict policy comes from the environment
// (`globalShortcutsConflictPolicyKey`) and follows it. The owner's callbacks, name and
// binding can be replaced at any time; the field follows on `update`.
class RecorderView final : public QWidget {
    Q_OBJECT
public:
    using OnChange = RecorderField::OnChange;
    using Validator = RecorderField::Validator;

    RecorderView(RecorderServices &services, ShortcutSource source, OnChange onChange = {},
                 QWidget *parent = nullptr);
    // With a plain-text label in front of the field.
    RecorderView(RecorderServices &services, const QString &label, ShortcutSource source, OnChange onChange = {},
                 QWidget *parent = nullptr);
    // With a label view of the caller's making.
    RecorderView(RecorderServices &services, QWidget *label, ShortcutSource source, OnChange onChange = {},
                 QWidget *parent = nullptr);

    bool hasLabel() const noexcept { return m_hasLabel; }
    RecorderField &field() const noexcept { return *m_field; }

    // Takes effect at once: the next recording uses it.
    void setValidateShortcut(Validator validator);
    void setOnChange(OnChange onChange);
    // Replaces the source: a name reloads the field only when its raw value differs; a
    // binding's value is shown when it differs from what the field shows.
    void setSource(ShortcutSource source);
    // Brings the field in line with the source and the environment after the owner changed
    // the bound value.
    void update();

protected:
    bool event(QEvent *event) override;

private:
    void build(QWidget *label);
    void fieldChanged(const std::optional<GlobalShortcuts::Shortcut> &shortcut);
    void applyConflictPolicy();

    RecorderServices &m_services;
    ShortcutSource m_source;
    OnChange m_onChange;
    Validator m_validateShortcut;
    RecorderField *m_field = nullptr;
    bool m_hasLabel = false;
};

} // namespace vantora::recorder
