#include "ui/LightsActionButton.h"

#include "ui/EnvironmentKeys.h"
#include "ui/GroupLayer.h"
#include "ui/HoverTracker.h"
#include "ui/ShadowUnderlay.h"
#include "ui/Shapes.h"
#include "ui/SvgImage.h"
#include "ui/SystemFont.h"

#include <QPainter>
#include <QtMath>

namespace vantora::ui {

namespace {

constexpr int sideMargin = 14;
const Animation hoverAnimation = Animation::easeInOut(0.16);

} // namespace

LightsActionButton::LightsActionButton(const QString &text, LightsActionButtonStyle style, QWidget *parent)
    : QAbstractButton(parent)
    , m_style(std::move(style))
    , m_hoverTracker(new HoverTracker(this))
    , m_shadow(new ShadowUnderlay(this, shapes::capsule, LightsActionButtonStyle::shadow()))
    , m_hover(this, "hoverTint", 0)
{
    setText(text);
    setFont(systemFont(13, QFont::Medium));
    setContentsMargins(sideMargin, 0, sideMargin, 0);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_hoverTracker, &HoverTracker::hoveredChanged, this, [this] { followHover(); });
}

void LightsActionButton::setStyle(const LightsActionButtonStyle &style)
{
    if (style == m_style)
        return;
    m_style = style;
    update();
}

void LightsActionButton::setGlyph(std::optional<Image> image, const QSizeF &size)
{
    m_glyph = image;
    m_glyphSize = image ? size : QSizeF();
    updateGeometry();
    update();
}

bool LightsActionButton::isHovered() const
{
    return m_hoverTracker->isHovered();
}

QSize LightsActionButton::sizeHint() const
{
    const QMargins margins = contentsMargins();
    qreal width = fontMetrics().horizontalAdvance(text()) + margins.left() + margins.right();
    if (m_glyph)
        width += m_glyphSize.width() + glyphSpacing;
    return {qCeil(width), defaultHeight};
}

bool LightsActionButton::event(QEvent *event)
{
    if (event->type() == EnvironmentChangeEvent::eventType())
        update();
    return QAbstractButton::event(event);
}

void LightsActionButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        followHover();
    else if (event->type() == QEvent::FontChange)
        updateGeometry();
    QAbstractButton::changeEvent(event);
}

void LightsActionButton::followHover()
{
    m_hover.animateTo(isHovered() && isEnabled() ? 1.0 : 0.0, hoverAnimation);
    update();
}

bool LightsActionButton::hitButton(const QPoint &position) const
{
    return shapes::roundedRect(rect(), shapes::capsule).contains(position);
}

void LightsActionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = colorScheme(this);
    const qreal opacity = LightsActionButtonStyle::opacity(LightsActionButtonStyle::phase(isEnabled(), isDown()));
    // The pressed state has no signal of its own (setDown() only repaints), so the shadow
    // learns the opacity here; it repaints only when the opacity really changed.
    m_shadow->setShadowOpacity(opacity);
    // A disabled button never shows the tint, even while one is still fading out.
    const qreal hover = isEnabled() ? m_hover.value() : 0;

    paintGroup(painter, rect(), opacity, [&](QPainter &group) {
        m_style.paintCapsule(group, rect(), scheme, hover);
        const QColor foreground = m_style.palette(scheme).foreground;
        const QRectF content = contentsRect();
        const qreal textWidth = fontMetrics().horizontalAdvance(text());
        const qreal glyphWidth = !m_glyph ? 0 : m_glyphSize.width() + glyphSpacing;
        qreal x = content.left() + (content.width() - textWidth - glyphWidth) / 2;
        if (m_glyph) {
            const QRectF frame(x, content.center().y() - m_glyphSize.height() / 2, m_glyphSize.width(),
                               m_glyphSize.height());
            SvgImage(*m_glyph).paint(group, frame, foreground);
            x += glyphWidth;
        }
        group.setFont(font());
        group.setPen(foreground);
        group.drawText(QRectF(x, content.top(), textWidth + 1, content.height()),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    });
}

} // namespace vantora::ui
