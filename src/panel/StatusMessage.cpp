#include "panel/StatusMessage.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/Shapes.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/WrappingText.h"

#include <QBoxLayout>
#include <QPainter>

namespace vantora {

namespace {

constexpr int iconSide = 14;

ui::DynamicColor colourOf(StatusMessage::Kind kind)
{
    return kind == StatusMessage::Kind::error ? ui::systemColours::orange() : ui::systemColours::secondary();
}

// A circled "!" or "i", drawn in the line's colour.
class StatusIcon final : public QWidget {
public:
    StatusIcon(StatusMessage::Kind kind, QWidget *parent)
        : QWidget(parent)
        , m_kind(kind)
    {
        setFixedSize(iconSide, iconSide);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor colour = colourOf(m_kind).resolve(ui::colorScheme(this));
        const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
        painter.setPen(QPen(colour, 1.3));
        painter.drawEllipse(box);
        const qreal x = box.center().x();
        painter.setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap));
        const bool error = m_kind == StatusMessage::Kind::error;
        // The stem and the dot swap ends between "!" and "i".
        const qreal stemTop = box.top() + (error ? 3.2 : 5.6);
        const qreal stemBottom = box.top() + (error ? 6.8 : 9.2);
        const qreal dot = box.top() + (error ? 9.2 : 3.2);
        painter.drawLine(QPointF(x, stemTop), QPointF(x, stemBottom));
        painter.drawPoint(QPointF(x, dot));
    }

private:
    StatusMessage::Kind m_kind;
};

} // namespace

StatusMessage::StatusMessage(const QString &message, Kind kind, QWidget *parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_icon(new StatusIcon(kind, this))
    , m_text(new ui::WrappingText(message, this))
{
    m_text->setFont(ui::systemFont(12));
    m_text->setForeground(colourOf(kind));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(6);
    layout->addWidget(m_icon, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1);
    ui::a11y::setCombined(this, message);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void StatusMessage::setMessage(const QString &message)
{
    m_text->setText(message);
    ui::a11y::setCombined(this, message);
}

QString StatusMessage::message() const
{
    return m_text->text();
}

QColor StatusMessage::colour() const
{
    return colourOf(m_kind).resolve(ui::colorScheme(this));
}

bool StatusMessage::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType())
        update();
    return QWidget::event(event);
}

void StatusMessage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = colour();
    fill.setAlphaF(fill.alphaF() * backgroundOpacity);
    painter.fillPath(ui::shapes::roundedRect(rect(), cornerRadius), fill);
}

} // namespace vantora
