#include "controls/RoomBrightnessSlider.h"

#include "controls/FocusRing.h"
#include "controls/LightValueSlider.h"
#include "controls/RoomEdgeSlider.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PlainToolTip.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>

namespace vantora::controls {

namespace {

// The compact slider keeps a ring margin on each side; the styles' paddings give it back so
// the controls keep their footprints.
constexpr int ring = static_cast<int>(focusRing::outset);
constexpr int readoutWidth = 30;

struct CompactLayout {
    int sliderLength;
    QMargins padding;
    int spacing;
};

CompactLayout compactLayout(RoomBrightnessStyle style)
{
    switch (style) {
    case RoomBrightnessStyle::vertical:
        return {116, QMargins(10, 10, 10, 10) - QMargins(ring, ring, ring, ring), 0};
    case RoomBrightnessStyle::percentage:
        return {118, QMargins(12 - ring, 7 - ring, 12, 7 - ring), 8 - ring};
    case RoomBrightnessStyle::slim:
    case RoomBrightnessStyle::edge:
        break;
    }
    return {140, QMargins(12, 7, 12, 7) - QMargins(ring, ring, ring, ring), 0};
}

ui::DynamicColor trackColour() { return {ui::colours::grey(0.91), ui::colours::grey(0.23)}; }
ui::DynamicColor fillColour() { return ui::DynamicColor::fixed(QColor(251, 173, 28)); }
ui::DynamicColor popoverBackground() { return {ui::colours::white(), ui::colours::grey(0.17)}; }

} // namespace

RoomBrightnessSlider::RoomBrightnessSlider(RoomBrightnessStyle style, ToggleAppearance *appearance, QWidget *parent)
    : QWidget(parent)
    , m_style(style)
{
    if (style == RoomBrightnessStyle::edge)
        buildEdge(appearance);
    else
        buildCompact();
    setFixedSize(footprint(style));
    refresh();
}

QSize RoomBrightnessSlider::sizeHint() const { return footprint(m_style); }

void RoomBrightnessSlider::buildEdge(ToggleAppearance *appearance)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_edge = new RoomEdgeSlider(appearance, this);
    layout->addWidget(m_edge);
    setFocusProxy(m_edge);
    connect(m_edge, &RoomEdgeSlider::valueEdited, this, [this](double value) { editValue(value); });
    connect(m_edge, &RoomEdgeSlider::editingChanged, this, [this](bool editing) { setEditing(editing); });
}

void RoomBrightnessSlider::buildCompact()
{
    const CompactLayout geometry = compactLayout(m_style);
    const bool vertical = m_style == RoomBrightnessStyle::vertical;
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(geometry.padding);
    layout->setSpacing(geometry.spacing);
    m_compact = new LightValueSlider(SliderSize::Compact,
                                     vertical ? SliderOrientation::Vertical : SliderOrientation::Horizontal, this);
    if (vertical)
        m_compact->setFixedHeight(geometry.sliderLength + 2 * ring);
    else
        m_compact->setFixedWidth(geometry.sliderLength + 2 * ring);
    m_compact->setColours({trackColour()});
    m_compact->setFill(fillColour());
    m_compact->setGraphicsEffect(new QGraphicsOpacityEffect(m_compact));
    layout->addWidget(m_compact);
    setFocusProxy(m_compact);
    connect(m_compact, &LightValueSlider::valueEdited, this, [this](double value) { editValue(value); });
    connect(m_compact, &LightValueSlider::editingChanged, this, [this](bool editing) { setEditing(editing); });

    if (m_style == RoomBrightnessStyle::percentage) {
        m_readout = new ui::TextLabel({}, this);
        m_readout->setFont(ui::systemFont(10, QFont::Medium));
        m_readout->setForeground(ui::systemColours::secondary());
        m_readout->setFixedWidth(readoutWidth);
        m_readout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ui::a11y::setHidden(m_readout);
        layout->addWidget(m_readout);
    }
}

void RoomBrightnessSlider::setRoom(const LightRoom &room)
{
    m_roomName = room.name;
    m_model.setLights(room.lights);
    refresh();
}

void RoomBrightnessSlider::setLocked(bool locked)
{
    m_model.setLocked(locked);
    refresh();
}

void RoomBrightnessSlider::setUpdating(bool updating)
{
    m_model.setUpdating(updating);
    refresh();
}

void RoomBrightnessSlider::editValue(double value)
{
    const std::optional<double> sent = m_model.setValue(value);
    refresh();
    if (sent)
        Q_EMIT changeRequested(*sent);
}

void RoomBrightnessSlider::setEditing(bool editing)
{
    m_model.setEditing(editing);
    refresh();
}

void RoomBrightnessSlider::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (m_style == RoomBrightnessStyle::vertical && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        if (const std::optional<double> sent = m_model.step(key == Qt::Key_Up ? 1.0 : -1.0)) {
            refresh();
            announceSteppedValue(m_compact);
            Q_EMIT changeRequested(*sent);
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void RoomBrightnessSlider::refresh()
{
    const bool enabled = !m_model.isDisabled();
    const QString label = tr("%1 brightness").arg(m_roomName);
    if (m_edge) {
        m_edge->setRange(m_model.range());
        m_edge->setValue(m_model.displayValue());
        m_edge->setLabel(label);
        m_edge->setEnabled(enabled);
    }
    if (m_compact) {
        m_compact->setRange(m_model.range());
        m_compact->setValue(m_model.displayValue());
        m_compact->setLabel(label);
        m_compact->setValueLabel(m_model.valueLabel());
        m_compact->setEnabled(enabled);
        static_cast<QGraphicsOpacityEffect *>(m_compact->graphicsEffect())->setOpacity(enabled ? 1.0 : 0.4);
    }
    if (m_readout)
        m_readout->setText(m_model.readout());
    // The slider itself has the focus, and a reader does not read tooltips: the help describes
    // the slider alone, or a reader would hear it again for the control around it.
    ui::setPlainToolTip(*this, m_model.help(), ui::ToolTipReading::NotTold);
    if (QWidget *focusable = m_edge ? static_cast<QWidget *>(m_edge->track()) : m_compact)
        ui::a11y::setDescription(focusable, m_model.help());
}

void RoomBrightnessSlider::paintEvent(QPaintEvent *)
{
    if (m_style == RoomBrightnessStyle::edge)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), popoverBackground().resolve(ui::colorScheme(this)));
}

} // namespace vantora::controls
