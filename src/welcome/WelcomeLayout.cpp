#include "welcome/WelcomeLayout.h"

#include "welcome/BridgeButtonPulse.h"
#include "welcome/WelcomePalette.h"

#include "ui/Accessibility.h"
#include "ui/BridgeIllustration.h"
#include "ui/DropShadow.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PanelDragArea.h"
#include "ui/SvgImage.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>

namespace vantora {

namespace {

// The product's wordmark, drawn in the scheme's logo colour. Presses go through it to the
// drag strip behind.
class Logo final : public QWidget {
public:
    explicit Logo(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAccessibleName(WelcomeLayout::tr("vantora"));
        ui::a11y::setHeading(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        ui::SvgImage(ui::Image::VantoraLogo).paint(painter, rect(), welcomePalette::logoTint().resolve(ui::colorScheme(this)));
    }
};

QWidget *mouseTransparent(QWidget *widget)
{
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    return widget;
}

} // namespace

WelcomeLayout::WelcomeLayout(pulseCurve::PulseSwitch pulse, QWidget *content, QWidget *parent)
    : QWidget(parent)
    , m_dragArea(new ui::PanelDragArea(this))
    , m_logo(new Logo(this))
    , m_illustration(mouseTransparent(new QWidget(this)))
    , m_pulse(new BridgeButtonPulse(m_illustration))
    , m_contentSlot(new QWidget(this))
{
    setFixedSize(stageSize);
    setFont(QGuiApplication::font());

    m_dragArea->setGeometry(0, 0, stageSize.width(), dragStripHeight);
    ui::a11y::setHidden(m_dragArea);
    m_logo->setGeometry(logoFrame);

    m_illustration->setGeometry(QRect(illustrationOrigin, ui::BridgeIllustration::frameSize));
    ui::a11y::setHidden(m_illustration);
    mouseTransparent(new ui::BridgeIllustration(m_illustration));
    m_pulse->raise();
    m_pulse->setPulse(pulse);

    m_contentSlot->setGeometry(0, contentTop, stageSize.width(), stageSize.height() - contentTop);
    m_contentSlot->installEventFilter(this);
    applyContentColour();
    setContent(content);
}

void WelcomeLayout::setPulse(pulseCurve::PulseSwitch pulse)
{
    m_pulse->setPulse(pulse);
}

void WelcomeLayout::setContent(QWidget *content)
{
    if (content == m_content)
        return;
    delete m_content.data();
    m_content = content;
    if (!content)
        return;
    content->setParent(m_contentSlot);
    placeContent();
    content->show();
}

void WelcomeLayout::placeContent()
{
    if (!m_content)
        return;
    const int width = stageSize.width();
    const int asked = m_content->hasHeightForWidth() ? m_content->heightForWidth(width) : m_content->sizeHint().height();
    const int height = std::max(asked, m_content->minimumHeight());
    // Taller content keeps its height and is cut off by the slot, which ends at the stage's edge.
    m_content->setGeometry(0, 0, width, std::max(height, 0));
}

void WelcomeLayout::applyContentColour()
{
    const QColor colour = welcomePalette::contentForeground().resolve(ui::colorScheme(this));
    QPalette palette = m_contentSlot->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, colour);
    m_contentSlot->setPalette(palette);
}

bool WelcomeLayout::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType())
        applyContentColour();
    return QWidget::event(event);
}

bool WelcomeLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_contentSlot && event->type() == QEvent::LayoutRequest)
        placeContent();
    return QWidget::eventFilter(watched, event);
}

void WelcomeLayout::paintEvent(QPaintEvent *)
{
    using namespace welcomePalette;
    QPainter painter(this);
    const ui::ColorScheme scheme = ui::colorScheme(this);
    const QRectF stage = rect();
    QLinearGradient backdrop(stage.topLeft(), stage.bottomLeft());
    backdrop.setColorAt(0, backdropTop().resolve(scheme));
    backdrop.setColorAt(backdropMiddleStop(scheme), backdropMiddle().resolve(scheme));
    backdrop.setColorAt(1, backdropBottom().resolve(scheme));
    painter.fillRect(stage, backdrop);

    const ui::DropShadow blurredHairline{hairline().resolve(scheme), 1, QPointF()};
    blurredHairline.paintUnderRoundedRect(painter, QRectF(0, hairlineTop, stage.width(), 1), 0);
}

} // namespace vantora
