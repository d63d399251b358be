#include "ui/PanelTextFieldElement.h"

#include "ui/LineEditElement.h"
#include "ui/PanelTextField.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QValidator>

namespace vantora::ui {

namespace {

// The field holds plain text, shown as typed.
class PanelTextFieldAccessible final : public LineEditElement, public QAccessibleEditableTextInterface {
public:
    explicit PanelTextFieldAccessible(PanelTextField *field)
        : LineEditElement(field)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return LineEditElement::interface_cast(type);
    }

    using LineEditElement::text;
    QString text(QAccessible::Text kind) const override
    {
        const QString own = LineEditElement::text(kind);
        if (own.isEmpty() && kind == QAccessible::Description)
            return field()->placeholderText();
        return own;
    }

    void setText(QAccessible::Text kind, const QString &text) override
    {
        if (kind == QAccessible::Value)
            replaceText(0, characterCount(), text);
        else
            LineEditElement::setText(kind, text);
    }

    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            field()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }

    QRect characterRect(int offset) const override
    {
        const QString text = field()->text();
        if (offset < 0 || offset >= text.size())
            return {};
        // The cursor carries the field's alignment and scrolling: it is drawn in the middle of
        // the area it reports, and a character lies as far from it as the text between them
        // is wide.
        const QFontMetrics metrics(field()->font());
        const QRect cursor = field()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int left = qRound(QRectF(cursor).center().x()) + metrics.horizontalAdvance(text.left(offset))
                         - metrics.horizontalAdvance(text.left(field()->cursorPosition()));
        const QRect character(left, cursor.top(), metrics.horizontalAdvance(text.at(offset)), cursor.height());
        return QRect(field()->mapToGlobal(character.topLeft()), character.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return field()->cursorPositionAt(field()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int end) override
    {
        field()->setCursorPosition(end);
        field()->setCursorPosition(start);
    }

    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override
    {
        if (field()->isReadOnly() || start < 0 || start > end || end > characterCount())
            return;
        QString changed = field()->text().replace(start, end - start, text);
        int position = int(start + text.size());
        if (const QValidator *validator = field()->validator();
            validator && validator->validate(changed, position) != QValidator::Acceptable) {
            return;
        }
        field()->setText(changed);
        field()->setCursorPosition(position);
    }
};

} // namespace

QAccessibleInterface *panelTextFieldElement(const QString &, QObject *object)
{
    if (auto *field = qobject_cast<PanelTextField *>(object))
        return new PanelTextFieldAccessible(field);
    return nullptr;
}

} // namespace vantora::ui
