#pragma once

#include "ui/DynamicColor.h"
#include "ui/SvgImage.h"

#include <QWidget>

#include <optional>

namespace vantora::controls {

// One of the application's template images at a fixed size, drawn in one colour: its own
// per scheme when given, else the text colour of its surroundings. Hidden from
// accessibility: it only decorates what its neighbours say.
class TemplateIcon final : public QWidget {
    Q_OBJECT
public:
    TemplateIcon(ui::Image image, QSize size, QWidget *parent = nullptr);

    void setForeground(std::optional<ui::DynamicColor> colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ui::SvgImage m_image;
    std::optional<ui::DynamicColor> m_foreground;
};

} // namespace vantora::controls
