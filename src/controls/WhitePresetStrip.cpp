#include "controls/WhitePresetStrip.h"

#include "controls/LightDetailModel.h"
#include "controls/PlainTextButton.h"
#include "controls/WhiteTemperature.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/DropShadow.h"
#include "ui/EnvironmentKeys.h"
#include "ui/Shapes.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"

#include <QPainter>

namespace vantora::controls {

namespace wt = whiteTemperature;

namespace {

const ui::DropShadow highlightShadow{ui::colours::black(0.06), 1.5, QPointF(0, 1)};

} // namespace

WhitePresetStrip::WhitePresetStrip(LightDetailModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_highlight(this, "presetHighlight", double(wt::presetIndex(model.activeWhitePreset())))
{
    setFixedHeight(stripHeight);
    for (std::size_t index = 0; index < m_buttons.size(); ++index) {
        const wt::Preset &preset = wt::presets[index];
        auto *button = new PlainTextButton(wt::presetName(preset), this);
        button->setFont(ui::systemFont(14, QFont::Medium));
        connect(button, &QAbstractButton::clicked, this, [this, preset] {
            m_model.selectWhitePreset(preset.nominalKelvin, m_model.kelvinRange().clamp(preset.nominalKelvin));
        });
        m_buttons[index] = button;
    }
    connect(&m_model, &LightDetailModel::changed, this, &WhitePresetStrip::refresh);
    refresh();
}

QRectF WhitePresetStrip::segmentRect(std::size_t index) const
{
    const double segment = std::max((width() - 2.0 * sideInset - 3.0 * gap) / 4.0, 1.0);
    return {sideInset + (segment + gap) * double(index), (stripHeight - segmentHeight) / 2.0, segment, double(segmentHeight)};
}

void WhitePresetStrip::refresh()
{
    const std::size_t active = wt::presetIndex(m_model.activeWhitePreset());
    for (std::size_t index = 0; index < m_buttons.size(); ++index) {
        PlainTextButton *button = m_buttons[index];
        const bool selected = index == active;
        button->setSelected(selected);
        button->setForeground(selected ? ui::DynamicColor{ui::colours::grey(0.16), ui::colours::grey(0.96)}
                                       : ui::systemColours::secondary());
        ui::a11y::setName(button, m_model.presetAccessibleLabel(index));
    }
    m_highlight.animateTo(double(active), ui::Animation::spring(0.32, 0.86));
}

void WhitePresetStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    for (std::size_t index = 0; index < m_buttons.size(); ++index)
        m_buttons[index]->setGeometry(segmentRect(index).toRect());
}

void WhitePresetStrip::paintEvent(QPaintEvent *)
{
    const bool dark = ui::colorScheme(this) == ui::ColorScheme::Dark;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), dark ? ui::colours::grey(0.16) : ui::colours::grey255(252));
    QColor hairline = palette().color(QPalette::WindowText);
    hairline.setAlphaF(0.05);
    painter.fillRect(QRectF(0, 0, width(), 1), hairline);

    const QRectF first = segmentRect(0);
    const QRectF highlight = first.translated((first.width() + gap) * m_highlight.value(), 0);
    using ui::shapes::verticalGradient;
    highlightShadow.paintUnderRoundedRect(painter, highlight, 10);
    painter.setPen(Qt::NoPen);
    painter.setBrush(dark ? verticalGradient(highlight, {ui::colours::grey(0.34), ui::colours::grey(0.25)})
                          : verticalGradient(highlight, {ui::colours::white(), ui::colours::grey255(252)}));
    painter.drawPath(ui::shapes::roundedRect(highlight, 10));
    ui::shapes::strokeInside(
        painter, highlight, 10, 0.75,
        dark ? verticalGradient(highlight, {ui::colours::grey(0.46), ui::colours::grey(0.20), ui::colours::grey(0.33)})
             : verticalGradient(highlight, {ui::colours::white(), ui::colours::grey(0.85), ui::colours::grey(0.91)}));
}

} // namespace vantora::controls
