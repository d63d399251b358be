#include "panel/LightRowParts.h"

#include "panel/LightRowTexts.h"
#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/Shapes.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"

#include <QPainter>
#include <QPainterPath>

namespace vantora {

namespace {

constexpr int badgeHorizontalPadding = 6;
constexpr int badgeVerticalPadding = 2;
constexpr qreal badgeRadius = 4;

} // namespace

LightRowChevron::LightRowChevron(QWidget *parent)
    : QWidget(parent)
    , m_opacity(this, "chevronOpacity", 0)
{
    setFixedSize(6, 10);
    ui::a11y::setHidden(this);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LightRowChevron::setShown(bool shown)
{
    m_opacity.animateTo(shown ? 1 : 0, ui::Animation::easeInOut(0.15));
}

void LightRowChevron::paintEvent(QPaintEvent *)
{
    if (m_opacity.value() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity.value());
    QPainterPath path;
    path.moveTo(0.75, 0.75);
    path.lineTo(5.25, 5);
    path.lineTo(0.75, 9.25);
    QPen pen(ui::systemColours::tertiary().resolve(ui::colorScheme(this)), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.strokePath(path, pen);
}

UnreachableBadge::UnreachableBadge(QWidget *parent)
    : QWidget(parent)
{
    setFont(ui::systemFont(11));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    ui::a11y::setRole(this, QAccessible::StaticText);
    setAccessibleName(lightRowTexts::unreachableBadge());
}

QSize UnreachableBadge::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(lightRowTexts::unreachableBadge()) + 2 * badgeHorizontalPadding,
            metrics.height() + 2 * badgeVerticalPadding};
}

void UnreachableBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor secondary = ui::systemColours::secondary().resolve(ui::colorScheme(this));
    QColor border = secondary;
    border.setAlphaF(secondary.alphaF() * 0.12f);
    ui::shapes::strokeInside(painter, rect(), badgeRadius, 1, border);
    painter.setPen(secondary);
    painter.drawText(rect(), Qt::AlignCenter, lightRowTexts::unreachableBadge());
}

} // namespace vantora
