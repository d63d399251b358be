#pragma once

#include "ui/DynamicColor.h"

#include <QWidget>

namespace vantora {

// The product's wordmark in a 78 × 24 frame, drawn as a template in the page's colour and
// named "vantora" as a heading. Presses go through it to the drag area behind.
class PanelLogo final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize frame{78, 24};

    PanelLogo(ui::DynamicColor colour, QWidget *parent = nullptr);

    QSize sizeHint() const override { return frame; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    ui::DynamicColor m_colour;
};

} // namespace vantora
