#include "panel/LightsNotice.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/ShadowUnderlay.h"
#include "ui/Shapes.h"
#include "ui/SvgImage.h"
#include "ui/SystemFont.h"
#include "ui/WrappingText.h"

#include <QBoxLayout>
#include <QPainter>

namespace vantora {

namespace {

using ui::colours::black;
using ui::colours::grey;
using ui::colours::grey255;
using ui::colours::white;

constexpr qreal highlightOffset = 2;

class NoticeIcon final : public QWidget {
public:
    explicit NoticeIcon(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(LightsNotice::iconSide, LightsNotice::iconSide);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const bool dark = ui::colorScheme(this) == ui::ColorScheme::Dark;
        ui::SvgImage(ui::Image::NoticeInfo).paint(painter, rect(), LightsNotice::colours(dark).icon);
    }
};

} // namespace

LightsNotice::LightsNotice(const QString &message, QWidget *parent)
    : QWidget(parent)
    , m_icon(new NoticeIcon(this))
    , m_text(new ui::WrappingText(message, this))
{
    new ui::ShadowUnderlay(this, cornerRadius, {black(0.1), 4, QPointF(0, 2)});
    new ui::ShadowUnderlay(this, cornerRadius, {black(0.06), 1, QPointF(0, 1)});
    m_text->setFont(ui::systemFont(12, QFont::Medium, -0.12));
    m_text->setLineSpacing(6);
    m_text->setContentsMargins(0, 3, 0, 3);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(12);
    layout->addWidget(m_icon, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1);
    ui::a11y::setCombined(this, message);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    followScheme();
    // A notice comes after something the user did elsewhere (all lights off, a room's
    // power): wherever the focus is, it is read out as it appears.
    ui::a11y::announceOnFirstShow(*this, message);
}

void LightsNotice::setMessage(const QString &message)
{
    if (message == m_text->text())
        return;
    m_text->setText(message);
    ui::a11y::setCombined(this, message);
    if (isVisible())
        ui::a11y::announce(message);
}

QString LightsNotice::message() const
{
    return m_text->text();
}

LightsNotice::Colours LightsNotice::colours(bool dark)
{
    if (dark)
        return {grey(0.65), grey(0.86), grey(0.24), grey(0.21), white(0.08)};
    return {ui::colours::displayP3(0.6441, 0.6441, 0.6441), grey255(74), grey255(234), grey255(228), white(0.2)};
}

bool LightsNotice::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType() || event->type() == QEvent::Show)
        followScheme();
    return QWidget::event(event);
}

void LightsNotice::followScheme()
{
    const bool dark = ui::colorScheme(this) == ui::ColorScheme::Dark;
    m_text->setForeground(ui::DynamicColor::fixed(colours(dark).text));
    update();
}

void LightsNotice::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Colours palette = colours(ui::colorScheme(this) == ui::ColorScheme::Dark);
    const QRectF card = rect();
    const QPainterPath shape = ui::shapes::roundedRect(card, cornerRadius);
    painter.fillPath(shape, ui::shapes::verticalGradient(card, {palette.cardTop, palette.cardBottom}));

    // Radius-0 inner shadows of the highlight colour, one raised and one lowered by two
    // pixels: thin bright bands along the bottom and the top edge.
    painter.save();
    painter.setClipPath(shape);
    for (const qreal dy : {-highlightOffset, highlightOffset})
        painter.fillPath(shape.subtracted(shape.translated(0, dy)), palette.highlight);
    painter.restore();

    ui::shapes::strokeInside(painter, card, cornerRadius, 1, black(0.16));
}

} // namespace vantora
