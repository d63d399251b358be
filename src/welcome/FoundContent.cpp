#include "welcome/FoundContent.h"

#include "welcome/ConnectionPillMetrics.h"
#include "welcome/ConnectionPillPalette.h"
#include "welcome/ConnectionPillTexts.h"
#include "welcome/PillText.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PlainToolTip.h"
#include "ui/Shapes.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

namespace vantora {

namespace {

constexpr qreal glyphLineWidth = 1.5;
constexpr qreal glyphCornerRadius = 3;
constexpr qreal glyphDotSide = 8;

} // namespace

FoundContent::FoundContent(QWidget *pill, const QString &name, const QString &address)
    : PillContent(pill)
    , m_name(new PillText(name, Qt::ElideRight, pillPalette::primary(), this))
    , m_address(new PillText(address, Qt::ElideMiddle, pillPalette::secondary(), this))
{
    ui::a11y::setCombined(this, ConnectionPillTexts::foundLabel(name, address));
    // A status line, not a bare area.
    ui::a11y::setRole(this, QAccessible::StaticText);
    ui::setPlainToolTip(*this, ConnectionPillTexts::foundToolTip(name, address));
    layoutContent();
}

qreal FoundContent::rowLeft() const
{
    // Centred while the pill is wider than the row, as it is while it shrinks towards it.
    const qreal row = m_name->naturalWidth() + m_address->naturalWidth() + pillMetrics::foundFixedWidth;
    return std::max<qreal>(0, (width() - row) / 2);
}

void FoundContent::layoutContent()
{
    using namespace pillMetrics;
    const qreal ellipsis = qCeil(QFontMetricsF(font()).horizontalAdvance(QStringLiteral("…")));
    const qreal nameNatural = m_name->naturalWidth();
    const FoundRowWidths widths =
        foundRowWidths(width(), nameNatural, m_address->naturalWidth(), std::min(nameNatural, ellipsis));
    const qreal nameLeft = rowLeft() + foundSidePadding + foundGlyphSide + foundSpacing;
    const qreal addressLeft = nameLeft + widths.name + foundSpacing + foundAddressLead;
    m_name->setGeometry(qRound(nameLeft), 0, qCeil(widths.name), height());
    m_address->setGeometry(qRound(addressLeft), 0, qCeil(widths.address), height());
}

void FoundContent::paintEvent(QPaintEvent *)
{
    using namespace pillMetrics;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = pillPalette::primary().resolve(ui::colorScheme(this));
    const QRectF glyph(rowLeft() + foundSidePadding, (height() - foundGlyphSide) / 2.0, foundGlyphSide, foundGlyphSide);
    ui::shapes::strokeInside(painter, glyph, glyphCornerRadius, glyphLineWidth, colour);
    const QRectF dot(glyph.center() - QPointF(glyphDotSide / 2, glyphDotSide / 2), QSizeF(glyphDotSide, glyphDotSide));
    ui::shapes::strokeInside(painter, dot, ui::shapes::capsule, glyphLineWidth, colour);
}

} // namespace vantora
