#include "recorder/RecorderFieldElement.h"

#include "recorder/RecorderField.h"

#include "ui/LineEditElement.h"

#include <QFontMetrics>

namespace vantora::recorder {

namespace {

class RecorderFieldAccessible final : public ui::LineEditElement {
public:
    explicit RecorderFieldAccessible(RecorderField *field)
        : LineEditElement(field)
    {
    }

    QList<std::pair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto related = LineEditElement::relations(match);
        const auto add = [&](QWidget *widget, QAccessible::Relation relation) {
            if (widget && (match & relation))
                related.append({QAccessible::queryAccessibleInterface(widget), relation});
        };
        // Each pair names what the other element is to this one: its label, its description.
        add(recorderField()->title(), QAccessible::Label);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        add(recorderField()->subtitle(), QAccessible::DescriptionFor);
#endif
        return related;
    }

    // Nothing is typed here: the text is the shortcut shown, or the placeholder shown instead.
    void setSelection(int, int start, int end) override
    {
        if (!field()->text().isEmpty())
            field()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return field()->text().isEmpty() ? 0 : field()->cursorPosition(); }
    void setCursorPosition(int position) override
    {
        if (!field()->text().isEmpty())
            field()->setCursorPosition(position);
    }

    QRect characterRect(int offset) const override
    {
        const QString text = shown();
        if (offset < 0 || offset >= text.size())
            return {};
        const QFontMetrics metrics(field()->font());
        const QRect area = shownArea();
        const int left = area.left() + (area.width() - metrics.horizontalAdvance(text)) / 2;
        const QRect character(left + metrics.horizontalAdvance(text.left(offset)), area.top(),
                              metrics.horizontalAdvance(text.at(offset)), area.height());
        return QRect(field()->mapToGlobal(character.topLeft()), character.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        for (int offset = 0; offset < characterCount(); ++offset) {
            if (characterRect(offset).contains(point))
                return offset;
        }
        return -1;
    }
    void scrollToSubstring(int, int) override {}

protected:
    QString shown() const override
    {
        return field()->text().isEmpty() ? field()->placeholderText() : field()->text();
    }

private:
    RecorderField *recorderField() const { return static_cast<RecorderField *>(widget()); }

    // The line the text is centred in.
    QRect shownArea() const
    {
        const QMargins margins = field()->textMargins();
        const QRect inside = field()->rect().marginsRemoved(margins);
        const int height = QFontMetrics(field()->font()).height();
        return QRect(inside.left(), inside.top() + (inside.height() - height) / 2, inside.width(), height);
    }
};

} // namespace

QAccessibleInterface *recorderFieldElement(const QString &, QObject *object)
{
    if (auto *field = qobject_cast<RecorderField *>(object))
        return new RecorderFieldAccessible(field);
    return nullptr;
}

} // namespace vantora::recorder
