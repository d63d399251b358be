#include "ui/PlainToolTip.h"

#include "ui/Accessibility.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QPointer>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

namespace vantora::ui {

namespace {

const char *const toolTipProperty = "_vantora_plain_tooltip";

// Shows the tooltips of every widget given one; one watches them all, as Qt's own tooltip
// handling is one piece of code for every widget.
class ToolTipShower final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
            return QObject::eventFilter(watched, event);
        auto *widget = static_cast<QWidget *>(watched);
        const QString text = plainToolTipOf(*widget);
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), plainToolTip(text), widget, QRect(),
                               widget->toolTipDuration());
        }
        return true;
    }
};

ToolTipShower &toolTipShower()
{
    static QPointer<ToolTipShower> shower;
    if (!shower)
        shower = new ToolTipShower(QCoreApplication::instance());
    return *shower;
}

} // namespace

QString plainToolTip(const QString &text)
{
    if (text.isEmpty())
        return {};
    // Qt guesses whether a tooltip is rich text; escaped text wrapped as a paragraph leaves
    // nothing to guess.
    return Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

void setPlainToolTip(QWidget &widget, const QString &text, ToolTipReading reading)
{
    if (!widget.property(toolTipProperty).isValid())
        widget.installEventFilter(&toolTipShower());
    widget.setProperty(toolTipProperty, text);
    if (reading == ToolTipReading::Told)
        a11y::setDescription(&widget, text);
}

QString plainToolTipOf(const QWidget &widget)
{
    return widget.property(toolTipProperty).toString();
}

} // namespace vantora::ui
