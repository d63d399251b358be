#pragma once

#include "ui/DynamicColor.h"

#include <QLabel>

#include <optional>

namespace vantora::ui {

// A label for text from anywhere, bridge and room names included: always plain text (no
// markup, no links), with an optional colour per scheme that follows scheme changes.
class TextLabel final : public QLabel {
    Q_OBJECT
public:
    explicit TextLabel(const QString &text = {}, QWidget *parent = nullptr);

    void setForeground(const DynamicColor &colour);

protected:
    bool event(QEvent *event) override;

private:
    void applyForeground();

    std::optional<DynamicColor> m_foreground;
};

} // namespace vantora::ui
