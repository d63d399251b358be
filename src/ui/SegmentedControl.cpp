#include "ui/SegmentedControl.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/KeyboardFocus.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <iterator>

namespace vantora::ui {

namespace {

constexpr int controlHeight = 24;
constexpr int inset = 2;
constexpr int segmentMargin = 10;
constexpr double trackRadius = 7;
constexpr double segmentRadius = 5;
constexpr int labelSpacing = 8;

const DynamicColor track{colours::black(0.07), colours::white(0.08)};
const DynamicColor raised{colours::white(), colours::white(0.26)};
const DynamicColor raisedEdge{colours::black(0.12), colours::white(0.08)};
const DynamicColor divider{colours::black(0.12), colours::white(0.14)};
const DynamicColor textColour{colours::grey(0.16), colours::grey(0.94)};

} // namespace

// Draws its label and, when selected, the raised plate under it; the track and the dividers
// belong to the control. A checkable, exclusive button: assistive technologies see a radio
// button. It takes no focus: the control does, for all its segments.
class SegmentedControl::Segment final : public QAbstractButton {
public:
    Segment(const QString &text, SegmentedControl *control)
        : QAbstractButton(control)
        , m_control(control)
    {
        setText(text);
        setCheckable(true);
        setAutoExclusive(true);
        setFocusPolicy(Qt::NoFocus);
        setFont(systemFont(12));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        return {fontMetrics().horizontalAdvance(text()) + 2 * segmentMargin, controlHeight - 2 * inset};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ColorScheme scheme = colorScheme(this);
        const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        if (isChecked()) {
            painter.setPen(QPen(raisedEdge.resolve(scheme), 1));
            painter.setBrush(raised.resolve(scheme));
            painter.drawRoundedRect(box, segmentRadius, segmentRadius);
        } else if (isDown()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(track.resolve(scheme));
            painter.drawRoundedRect(box, segmentRadius, segmentRadius);
        }
        if (isChecked() && m_control->showsFocusRing()) {
            QColor ring = systemColours::orange().resolve(scheme);
            ring.setAlphaF(0.6);
            painter.setPen(QPen(ring, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), segmentRadius, segmentRadius);
        }
        painter.setPen(textColour.resolve(scheme));
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, fontMetrics().elidedText(text(), Qt::ElideRight, width() - 4));
    }

private:
    SegmentedControl *m_control;
};

SegmentedControl::SegmentedControl(const QString &label, LabelVisibility labelVisibility, QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    m_group->setExclusive(true);
    setAccessibleName(label);
    a11y::setRole(this, QAccessible::Grouping);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(inset, inset, inset, inset);
    row->setSpacing(0);
    if (labelVisibility == LabelVisibility::shown) {
        auto *shown = new TextLabel(label, this);
        shown->setFont(systemFont(12));
        shown->setForeground(textColour);
        // The control is named by it already.
        a11y::setHidden(shown);
        row->addWidget(shown);
        row->addSpacing(labelSpacing);
        m_label = shown;
    }
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) {
        update();
        Q_EMIT idClicked(id);
    });
    connect(m_group, &QButtonGroup::idToggled, this, [this] { update(); });
}

void SegmentedControl::focusInEvent(QFocusEvent *event)
{
    m_focusCameByKeyboard = focusCameByKeyboard(*event);
    QWidget::focusInEvent(event);
    update();
}

void SegmentedControl::focusOutEvent(QFocusEvent *event)
{
    m_focusCameByKeyboard = false;
    QWidget::focusOutEvent(event);
    update();
}

void SegmentedControl::keyPressEvent(QKeyEvent *event)
{
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        step = 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const auto current = std::find_if(m_segments.begin(), m_segments.end(),
                                      [](const Segment *segment) { return segment->isChecked(); });
    const auto index = current == m_segments.end() ? 0 : std::distance(m_segments.begin(), current) + step;
    // The choice stops at either end, as it does on the screen.
    if (index < 0 || index >= std::ssize(m_segments))
        return;
    Segment *next = m_segments[std::size_t(index)];
    next->setChecked(true);
    Q_EMIT idClicked(m_group->id(next));
}

QAbstractButton *SegmentedControl::addSegment(const QString &text, int id)
{
    auto *segment = new Segment(text, this);
    segment->setChecked(m_segments.empty());
    m_group->addButton(segment, id);
    layout()->addWidget(segment);
    m_segments.push_back(segment);
    return segment;
}

void SegmentedControl::setSelected(int id)
{
    if (QAbstractButton *found = m_group->button(id))
        found->setChecked(true);
}

int SegmentedControl::selected() const
{
    return m_group->checkedId();
}

QAbstractButton *SegmentedControl::segment(int id) const
{
    return m_group->button(id);
}

QSize SegmentedControl::sizeHint() const
{
    int width = 2 * inset + labelExtent();
    for (const Segment *segment : m_segments)
        width += segment->sizeHint().width();
    return {width, controlHeight};
}

QSize SegmentedControl::minimumSizeHint() const
{
    return {2 * inset + labelExtent() + 20 * int(m_segments.size()), controlHeight};
}

int SegmentedControl::labelExtent() const
{
    return m_label ? m_label->sizeHint().width() + labelSpacing : 0;
}

QRect SegmentedControl::trackRect() const
{
    if (m_segments.empty() || !m_label)
        return rect();
    return rect().adjusted(m_segments.front()->geometry().left() - inset, 0, 0, 0);
}

void SegmentedControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = colorScheme(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(track.resolve(scheme));
    painter.drawRoundedRect(QRectF(trackRect()), trackRadius, trackRadius);
    // A divider parts two neighbours only while neither is raised.
    painter.setPen(QPen(divider.resolve(scheme), 1));
    for (std::size_t index = 1; index < m_segments.size(); ++index) {
        if (m_segments[index - 1]->isChecked() || m_segments[index]->isChecked())
            continue;
        const double x = m_segments[index]->geometry().left() + 0.5;
        painter.drawLine(QPointF(x, 6), QPointF(x, height() - 6));
    }
}

} // namespace vantora::ui
