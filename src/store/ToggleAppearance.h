#pragma once

#include "runtime/Property.h"
#include "runtime/UserDefaults.h"
#include "store/ToggleColor.h"

#include <QLatin1String>
#include <QObject>

namespace vantora {

// The toggle colour the user chose, shared by every view that draws a toggle. The
// application makes one at launch, before any view draws, and hands it to the views.
class ToggleAppearance final : public QObject {
    Q_OBJECT
public:
    // Holds the raw value of the chosen colour, as a string.
    static constexpr QLatin1String preferenceKey{"toggleColor"};

    // Nothing stored, a value that is not a string, or a string that names no colour gives
    // amber and leaves user defaults alone. A stored "graphite", a colour we no longer
    // offer, becomes purple and is rewritten at once so it is migrated only once.
    explicit ToggleAppearance(runtime::UserDefaults &defaults, QObject *parent = nullptr);

    ToggleColor color() const noexcept { return *m_color; }
    // Writes the colour on every call; announces it only when it changed.
    void setColor(ToggleColor color);

Q_SIGNALS:
    void colorChanged();

private:
    runtime::UserDefaults &m_defaults;
    runtime::Property<ToggleColor> m_color;
};

} // namespace vantora
