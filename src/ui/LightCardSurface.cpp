#include "ui/LightCardSurface.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/ShadowUnderlay.h"
#include "ui/Shapes.h"

#include <QPainter>
#include <QRegion>
#include <QVBoxLayout>

namespace vantora::ui {

namespace {

// The border lies over the content, so it is a sibling raised above it.
class CardBorder final : public QWidget {
public:
    explicit CardBorder(LightCardSurface *card)
        : QWidget(card)
        , m_card(card)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        shapes::strokeInside(painter, rect(), m_card->cornerRadius(), LightCardSurface::borderWidth,
                             LightCardSurface::colours(colorScheme(this)).border);
    }

private:
    LightCardSurface *m_card;
};

} // namespace

LightCardSurface::LightCardSurface(qreal cornerRadius, QWidget *parent)
    : QWidget(parent)
    , m_cornerRadius(cornerRadius)
    , m_content(new QWidget(this))
    , m_border(new CardBorder(this))
    , m_shadow(new ShadowUnderlay(this, cornerRadius, colours(ColorScheme::Light).shadow))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_content);
    followScheme();
}

LightCardSurface::Colours LightCardSurface::colours(ColorScheme scheme)
{
    if (scheme == ColorScheme::Dark)
        return {colours::grey(0.17), colours::white(0.08), DropShadow{colours::black(0.16), 1, QPointF(0, 1)}};
    return {colours::white(), colours::grey(0.89), DropShadow{colours::black(0.055), 1, QPointF(0, 1)}};
}

bool LightCardSurface::event(QEvent *event)
{
    if (event->type() == EnvironmentChangeEvent::eventType() || event->type() == QEvent::ParentChange)
        followScheme();
    return QWidget::event(event);
}

void LightCardSurface::followScheme()
{
    m_shadow->setShadow(colours(colorScheme(this)).shadow);
}

void LightCardSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(shapes::roundedRect(rect(), m_cornerRadius), colours(colorScheme(this)).fill);
}

void LightCardSurface::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Clipping children takes a mask, which has hard edges; the border drawn over the edge
    // smooths them.
    const QPolygon outline = shapes::roundedRect(rect(), m_cornerRadius).toFillPolygon().toPolygon();
    m_content->setMask(QRegion(outline));
    m_border->setGeometry(rect());
    m_border->raise();
}

} // namespace vantora::ui
