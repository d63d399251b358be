#include "ui/Popover.h"

#include "ui/Colours.h"
#include "ui/Compositing.h"
#include "ui/EnvironmentKeys.h"
#include "ui/Shapes.h"
#include "ui/SystemColours.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace vantora::ui {

namespace {

// Keeps the popover this far from the screen's edges.
constexpr int screenMargin = 4;

QPainterPath bubble(const QRectF &area, qreal arrowX)
{
    const QRectF body = area.adjusted(0.5, Popover::arrowHeight + 0.5, -0.5, -0.5);
    QPainterPath path = shapes::roundedRect(body, Popover::cornerRadius);
    QPainterPath arrow;
    arrow.moveTo(arrowX - Popover::arrowWidth / 2.0, body.top() + 1);
    arrow.lineTo(arrowX, area.top() + 0.5);
    arrow.lineTo(arrowX + Popover::arrowWidth / 2.0, body.top() + 1);
    arrow.closeSubpath();
    return path.united(arrow);
}

} // namespace

Popover::Popover(QWidget *anchor)
    : QWidget(anchor, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
    , m_anchor(anchor)
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding + arrowHeight, padding, padding);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(&Compositing::shared(), &Compositing::activeChanged, this, [this] {
        applyCompositing();
        update();
    });
}

void Popover::setContent(QWidget *content)
{
    if (m_content == content)
        return;
    delete m_content.data();
    m_content = content;
    if (content)
        layout()->addWidget(content);
}

Popover::Placement Popover::placement(const QRect &anchorRect, const QSize &size, const QRect &screen)
{
    const int tipX = anchorRect.x() + anchorRect.width() / 2;
    int left = tipX - size.width() / 2;
    const int lowest = screen.left() + screenMargin;
    const int highest = std::max(lowest, screen.right() + 1 - screenMargin - size.width());
    left = std::clamp(left, lowest, highest);
    // The arrow keeps clear of the rounded corners.
    const int inset = static_cast<int>(cornerRadius) + arrowWidth / 2;
    const int arrowX = std::clamp(tipX - left, inset, std::max(inset, size.width() - inset));
    return {QPoint(left, anchorRect.bottom() + 1 + gap), arrowX};
}

void Popover::present()
{
    if (!m_anchor)
        return;
    adjustSize();
    const QRect anchorRect(m_anchor->mapToGlobal(QPoint(0, 0)), m_anchor->size());
    const QScreen *screen = m_anchor->screen() ? m_anchor->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(anchorRect.topLeft(), QSize(4096, 4096));
    const Placement where = placement(anchorRect, size(), available);
    m_arrowX = where.arrowX;
    applyCompositing();
    move(where.topLeft);
    show();
    update();
}

void Popover::withdraw()
{
    m_withdrawing = true;
    hide();
    m_withdrawing = false;
}

bool Popover::event(QEvent *event)
{
    // A disabled anchor disables its popover too (a child, although a window of its own), and
    // a disabled widget hears no keys; Escape must close it all the same.
    if (!isEnabled() && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel)) {
        close();
        return true;
    }
    return QWidget::event(event);
}

void Popover::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!m_withdrawing)
        Q_EMIT dismissed();
}

QPainterPath Popover::bubbleShape() const
{
    return bubble(rect(), m_arrowX.value_or(width() / 2));
}

void Popover::applyCompositing()
{
    if (Compositing::shared().isActive()) {
        clearMask();
        return;
    }
    QRegion region;
    for (const QPolygonF &polygon : bubbleShape().toFillPolygons())
        region += QRegion(polygon.toPolygon(), Qt::WindingFill);
    setMask(region);
}

void Popover::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyCompositing();
}

void Popover::paintEvent(QPaintEvent *)
{
    const ColorScheme scheme = colorScheme(this);
    const QColor background = systemColours::windowBackground().resolve(scheme);
    QPainter painter(this);
    // The window is cut to the bubble without a compositor; its soft edge would darken
    // towards the black that transparent pixels show there.
    if (!Compositing::shared().isActive())
        painter.fillRect(rect(), background);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = bubbleShape();
    painter.fillPath(path, background);
    const QColor border = scheme == ColorScheme::Dark ? colours::white(0.12) : colours::black(0.12);
    painter.strokePath(path, QPen(border, 1));
}

} // namespace vantora::ui
