#include "settings/AppErrorBanner.h"

#include "controls/FocusRing.h"
#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/DropShadow.h"
#include "ui/PlainToolTip.h"
#include "ui/Shapes.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QPainter>

#include <cmath>

namespace vantora {

namespace {

constexpr qreal cornerRadius = 12;
constexpr int bannerMinimumHeight = 40;

QColor buttonColour()
{
    return QColor::fromRgbF(0.30f, 0.22f, 0.07f);
}

QColor titleColour()
{
    return QColor::fromRgbF(0.49f, 0.34f, 0.04f);
}

const ui::DropShadow nearShadow{ui::colours::black(0.06), 1, {0, 1}};
const ui::DropShadow farShadow{ui::colours::displayP3(0.8342, 0.739, 0.4912, 0.3), 4, {0, 2}};

// A borderless button drawn as its text or as the close cross, in the banner's brown.
class BannerButton final : public QAbstractButton {
public:
    enum class Look { text, cross };

    BannerButton(Look look, const QString &text, QWidget *parent)
        : QAbstractButton(parent)
        , m_look(look)
    {
        setText(text);
        setFont(ui::systemFont(13, QFont::Medium));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        if (look == Look::cross)
            setFixedSize(24, 28);
    }

    QSize sizeHint() const override
    {
        if (m_look == Look::cross)
            return {24, 28};
        const QFontMetrics metrics(font());
        return {metrics.horizontalAdvance(text()) + 2, 28};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor colour = buttonColour();
        if (isDown())
            colour.setAlphaF(0.6);
        if (m_look == Look::text) {
            painter.setPen(colour);
            painter.setFont(font());
            painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
        } else {
            // An 11-pixel cross of medium weight, centred.
            const QPointF centre = QRectF(rect()).center();
            const qreal half = 4;
            painter.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(centre + QPointF(-half, -half), centre + QPointF(half, half));
            painter.drawLine(centre + QPointF(-half, half), centre + QPointF(half, -half));
        }
        if (m_keyboardFocus)
            controls::focusRing::paint(painter, this, rect());
    }

    void focusInEvent(QFocusEvent *event) override
    {
        m_keyboardFocus = controls::focusRing::cameByKeyboard(*event);
        QAbstractButton::focusInEvent(event);
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        m_keyboardFocus = false;
        QAbstractButton::focusOutEvent(event);
    }

private:
    Look m_look;
    bool m_keyboardFocus = false;
};

} // namespace

AppErrorBanner::AppErrorBanner(const std::optional<QString> &explanation, std::function<void()> report,
                               std::function<void()> dismiss, QWidget *parent)
    : QWidget(parent)
{
    setContentsMargins(shadowMargins());
    setMinimumHeight(bannerMinimumHeight + shadowMargins().top() + shadowMargins().bottom());

    auto *title = new ui::TextLabel(explanation.value_or(tr("Something went wrong.")), this);
    title->setFont(ui::systemFont(13));
    title->setForeground(ui::DynamicColor::fixed(titleColour()));
    // A wrapped explanation takes the width the page gives, never widening the window; the
    // wrapping comes after the size policy, which would drop the height it takes for a width.
    title->setSizePolicy(explanation ? QSizePolicy::Ignored : QSizePolicy::Expanding, QSizePolicy::Preferred);
    title->setWordWrap(explanation.has_value());

    m_details = new BannerButton(BannerButton::Look::text, tr("View details"), this);
    connect(m_details, &QAbstractButton::clicked, this, [report = std::move(report)] { report(); });
    if (dismiss) {
        m_close = new BannerButton(BannerButton::Look::cross, {}, this);
        m_close->setAccessibleName(tr("Dismiss error"));
        ui::setPlainToolTip(*m_close, tr("Dismiss error"));
        connect(m_close, &QAbstractButton::clicked, this, [dismiss = std::move(dismiss)] { dismiss(); });
    }

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 6, 12, 6);
    layout->setSpacing(12);
    layout->addWidget(title, 1);
    layout->addWidget(m_details);
    if (m_close)
        layout->addWidget(m_close);
    // The banner comes with a failure, wherever the focus is: it is read out as it appears.
    ui::a11y::announceOnFirstShow(*this, title->text());
}

QMargins AppErrorBanner::shadowMargins()
{
    const int reach = int(std::ceil(std::max(nearShadow.reach(), farShadow.reach())));
    return {reach, reach, reach, reach};
}

void AppErrorBanner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape = contentsRect();
    nearShadow.paintUnderRoundedRect(painter, shape, cornerRadius);
    farShadow.paintUnderRoundedRect(painter, shape, cornerRadius);
    painter.fillPath(ui::shapes::roundedRect(shape, cornerRadius),
                     ui::shapes::verticalGradient(shape, {ui::colours::displayP3(1.0, 0.8884, 0.606, 0.7),
                                                          ui::colours::displayP3(1.0, 0.8392, 0.4314, 0.7)}));
    ui::shapes::strokeInside(painter, shape, cornerRadius, 1, ui::colours::displayP3(1.0, 0.9759, 0.9136));
}

} // namespace vantora
