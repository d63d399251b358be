#pragma once

#include "ui/ColorScheme.h"

#include <QObject>

#include <optional>

namespace vantora::ui {

// What the desktop says about appearance. Each answer is absent while the desktop has said
// nothing (no session bus, no portal, no preference).
class DesktopSettings : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual std::optional<ColorScheme> colorScheme() const = 0;
    virtual std::optional<bool> animationsEnabled() const = 0;

Q_SIGNALS:
    void colorSchemeChanged();
    void animationsEnabledChanged();
};

} // namespace vantora::ui
