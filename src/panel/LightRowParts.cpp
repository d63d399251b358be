#include "panel/LightRowParts.h"

#include "controls/FocusRing.h"
#include "panel/LightRowTexts.h"
#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/Shapes.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"

#include <QAccessibleWidget>
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

namespace {

class AccessibleRowStop final : public QAccessibleWidget {
public:
    explicit AccessibleRowStop(LightRowStop *stop)
        : QAccessibleWidget(stop, QAccessible::Client)
    {
    }

    QAccessible::Role role() const override { return stop()->isStop() ? QAccessible::CheckBox : QAccessible::Client; }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (stop()->isStop()) {
            state.checkable = true;
            state.checked = stop()->isOn();
            state.disabled = true;
        }
        return state;
    }

private:
    LightRowStop *stop() const { return static_cast<LightRowStop *>(widget()); }
};

QAccessibleInterface *rowStopFactory(const QString &, QObject *object)
{
    if (auto *stop = qobject_cast<LightRowStop *>(object))
        return new AccessibleRowStop(stop);
    return nullptr;
}

} // namespace

LightRowStop::LightRowStop(QWidget *parent)
    : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(rowStopFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setFocusPolicy(Qt::NoFocus);
}

void LightRowStop::setStop(const QString &name, bool on, const QString &reason)
{
    const bool stop = !reason.isEmpty();
    ui::a11y::setName(this, stop ? name : QString());
    ui::a11y::setDescription(this, reason);
    setFocusPolicy(stop ? Qt::StrongFocus : Qt::NoFocus);
    if (std::exchange(m_on, on) != on && stop && QAccessible::isActive()) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}

void LightRowStop::paintEvent(QPaintEvent *)
{
    if (!m_showsFocus)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    controls::focusRing::paint(painter, this, rect());
}

void LightRowStop::focusInEvent(QFocusEvent *event)
{
    m_showsFocus = controls::focusRing::cameByKeyboard(*event);
    update();
    QWidget::focusInEvent(event);
}

void LightRowStop::focusOutEvent(QFocusEvent *event)
{
    m_showsFocus = false;
    update();
    QWidget::focusOutEvent(event);
}

} // namespace vantora
