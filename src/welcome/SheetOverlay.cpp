#include "welcome/SheetOverlay.h"

#include "welcome/WelcomePalette.h"

#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FocusHolder.h"
#include "ui/FocusReturn.h"
#include "ui/SystemColours.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace vantora {

namespace {

const ui::DynamicColor backdrop{ui::colours::black(0.25), ui::colours::black(0.45)};
const ui::DynamicColor cardEdge{ui::colours::black(0.12), ui::colours::white(0.14)};

const ui::DynamicColor fieldBackground{ui::colours::white(), ui::colours::grey(0.12)};
const ui::DynamicColor buttonFace{ui::colours::grey(0.97), ui::colours::grey(0.3)};

// The card's own surface, drawn in the scheme's window colour with a hairline edge. Its
// palette follows the scheme, so the controls on it read in the dark scheme too.
class SheetCard final : public QWidget {
public:
    SheetCard(int width, QWidget *parent)
        : QWidget(parent)
    {
        setFixedWidth(width);
        applyScheme();
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == ui::EnvironmentChangeEvent::eventType() || event->type() == QEvent::ParentChange
            || event->type() == QEvent::Show)
            applyScheme();
        return QWidget::event(event);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ui::ColorScheme scheme = ui::colorScheme(this);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), SheetOverlay::cornerRadius,
                             SheetOverlay::cornerRadius);
        painter.fillPath(shape, ui::systemColours::windowBackground().resolve(scheme));
        painter.setPen(QPen(cardEdge.resolve(scheme), 1));
        painter.drawPath(shape);
    }

private:
    void applyScheme()
    {
        const ui::ColorScheme scheme = ui::colorScheme(this);
        const QColor text = welcomePalette::contentForeground().resolve(scheme);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, ui::systemColours::windowBackground().resolve(scheme));
        const QColor disabledText = ui::systemColours::tertiary().resolve(scheme);
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            colours.setColor(role, text);
            colours.setColor(QPalette::Disabled, role, disabledText);
        }
        colours.setColor(QPalette::Base, fieldBackground.resolve(scheme));
        colours.setColor(QPalette::Button, buttonFace.resolve(scheme));
        colours.setColor(QPalette::PlaceholderText, ui::systemColours::secondary().resolve(scheme));
        if (colours != palette())
            setPalette(colours);
    }
};

} // namespace

SheetOverlay::SheetOverlay(QWidget *content, QWidget *parent, int cardWidth)
    : QWidget(parent)
    , m_card(new SheetCard(cardWidth, this))
{
    Q_ASSERT(parent);
    auto *cardLayout = new QVBoxLayout(m_card);
    cardLayout->setContentsMargins(padding, padding, padding, padding);
    cardLayout->addWidget(content);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_card, 0, Qt::AlignCenter);
    parent->installEventFilter(this);
    hide();
}

void SheetOverlay::open(QWidget *focusTarget)
{
    // The window's own focus, not the application's: a sheet opened from an alert's button
    // opens as the alert closes, while the alert's window still holds the focus.
    if (QWidget *opener = window()->focusWidget(); opener && opener != this && !isAncestorOf(opener))
        m_opener = opener;
    cover();
    show();
    raise();
    activateWindow();
    if (focusTarget)
        focusTarget->setFocus(Qt::OtherFocusReason);
}

bool SheetOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        cover();
    if (!isBeneath(watched))
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        focusSheet();
        return false;
    // The backdrop keeps the pointer from what lies beneath, but not events sent there
    // directly, nor keys reaching a control that held the focus before the sheet opened.
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

bool SheetOverlay::focusNextPrevChild(bool next)
{
    // Qt asks a hidden widget that still holds the focus to pass it on: a closed sheet
    // passes it beneath, never to its own (hidden) controls.
    if (isHidden())
        return QWidget::focusNextPrevChild(next);
    QWidget *start = QApplication::focusWidget();
    if (!start || !isAncestorOf(start))
        start = this;
    QWidget *candidate = start;
    do {
        candidate = next ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
        if (takesTabFocus(candidate)) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    } while (candidate != start);
    // Nothing in the sheet takes focus: Tab goes nowhere rather than beneath it.
    return true;
}

void SheetOverlay::showEvent(QShowEvent *event)
{
    qApp->installEventFilter(this);
    QWidget::showEvent(event);
}

void SheetOverlay::hideEvent(QHideEvent *event)
{
    qApp->removeEventFilter(this);
    QWidget::hideEvent(event);
    // Hidden with its window (the panel closing), the sheet is still open.
    if (isHidden())
        ui::giveFocusBack(*this, m_opener, *parentWidget());
}

bool SheetOverlay::isBeneath(const QObject *object) const
{
    if (!object->isWidgetType() || !isVisible())
        return false;
    const auto *widget = static_cast<const QWidget *>(object);
    const QWidget *covered = parentWidget();
    const bool insideCovered = widget == covered || covered->isAncestorOf(widget);
    return insideCovered && widget != this && !isAncestorOf(widget);
}

bool SheetOverlay::takesTabFocus(const QWidget *widget) const
{
    return isAncestorOf(widget) && ui::isTabStop(*widget, *this);
}

void SheetOverlay::focusSheet()
{
    if (QWidget *last = focusWidget(); last && takesTabFocus(last)) {
        last->setFocus(Qt::OtherFocusReason);
        return;
    }
    focusNextPrevChild(true);
}

void SheetOverlay::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Q_EMIT dismissRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SheetOverlay::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}

void SheetOverlay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), backdrop.resolve(ui::colorScheme(this)));
}

void SheetOverlay::cover()
{
    setGeometry(parentWidget()->rect());
}

} // namespace vantora
