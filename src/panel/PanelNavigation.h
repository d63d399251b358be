#pragma once

#include "runtime/Property.h"

#include <QObject>

namespace vantora {

// Which page the panel shows on top: the lights (or whatever the panel chose) or the
// keyboard-shortcuts page. The application owns one for its panel; demonstration windows
// own their own. Announces a real change only.
class PanelNavigation final : public QObject {
    Q_OBJECT
public:
    explicit PanelNavigation(QObject *parent = nullptr);

    bool showsShortcuts() const { return *m_showsShortcuts; }
    void setShowsShortcuts(bool shows) { m_showsShortcuts.set(shows); }

Q_SIGNALS:
    void showsShortcutsChanged();

private:
    runtime::Property<bool> m_showsShortcuts;
};

} // namespace vantora
