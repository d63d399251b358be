#include "LayoutFaults.h"

#include "ui/Accessibility.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QWidget>

#include <optional>

namespace vantora::testing {

namespace {

QString describe(const QWidget &widget)
{
    QString text;
    if (QAccessibleInterface *presented = QAccessible::queryAccessibleInterface(const_cast<QWidget *>(&widget)))
        text = presented->text(QAccessible::Name);
    const QString name = QString::fromLatin1(widget.metaObject()->className());
    return text.isEmpty() ? name : QStringLiteral("%1 \"%2\"").arg(name, text);
}

QString sizeText(QSize size)
{
    return QStringLiteral("%1×%2").arg(size.width()).arg(size.height());
}

// What the accessibility layer presents as text or as something to operate: our own text
// widgets give themselves the static-text role, so they count as labels do.
bool isControl(const QWidget &widget)
{
    QAccessibleInterface *presented = QAccessible::queryAccessibleInterface(const_cast<QWidget *>(&widget));
    if (!presented)
        return false;
    switch (presented->role()) {
    case QAccessible::StaticText:
    case QAccessible::Heading:
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::Slider:
    case QAccessible::Link:
        return true;
    default:
        return false;
    }
}

std::optional<QString> clipOf(const QWidget &widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(&widget)) {
        if (label->text().isEmpty() || label->textFormat() == Qt::RichText)
            return std::nullopt;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                          -label->margin());
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QSize needed = QFontMetrics(label->font()).boundingRect(room, flags, label->text()).size();
        if (needed.width() <= room.width() && needed.height() <= room.height())
            return std::nullopt;
        return QStringLiteral("%1 needs %2 in %3").arg(describe(widget), sizeText(needed), sizeText(room.size()));
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(&widget)) {
        if (button->text().isEmpty())
            return std::nullopt;
        const QFontMetrics metrics(button->font());
        const QSize needed(metrics.horizontalAdvance(QString(button->text()).remove(u'&')), metrics.height());
        if (needed.width() <= button->width() && needed.height() <= button->height())
            return std::nullopt;
        return QStringLiteral("%1 needs %2 in %3").arg(describe(widget), sizeText(needed), sizeText(button->size()));
    }
    return std::nullopt;
}

void collectClips(const QWidget &widget, QStringList &faults)
{
    if (auto clip = clipOf(widget))
        faults << *clip;
    for (const QWidget *child : widget.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible())
            collectClips(*child, faults);
    }
}

void collectOverlaps(const QWidget &widget, QStringList &faults)
{
    QList<const QWidget *> controls;
    for (const QWidget *child : widget.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        // A widget out of the accessibility tree (content fading out) presents nothing.
        if (!child->isVisible() || child->isWindow() || ui::a11y::isHidden(child))
            continue;
        if (isControl(*child))
            controls << child;
        collectOverlaps(*child, faults);
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            if (controls[i]->geometry().intersects(controls[j]->geometry()))
                faults << QStringLiteral("%1 overlaps %2").arg(describe(*controls[i]), describe(*controls[j]));
        }
    }
}

} // namespace

QStringList clippedTexts(const QWidget &root)
{
    QStringList faults;
    collectClips(root, faults);
    return faults;
}

QStringList overlappingControls(const QWidget &root)
{
    QStringList faults;
    collectOverlaps(root, faults);
    return faults;
}

} // namespace vantora::testing
