#pragma once

#include <QAccessibleWidget>

class QLineEdit;

namespace vantora::ui {

// The part of a line edit's element that our fields share: what a reader reads of the text and
// the selection. The text is one run of text attributes: Qt's own element gives each offset an
// empty run, and a reader that joins the runs into spans of one language (Orca 43) then reads
// the field without its last character. The caret, the places of characters and any editing
// are each field's own.
class LineEditElement : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LineEditElement(QLineEdit *field);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;

    void selection(int index, int *start, int *end) const override;
    int selectionCount() const override;
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override;
    QString text(int start, int end) const override;
    int characterCount() const override;
    QString attributes(int offset, int *start, int *end) const override;

protected:
    QLineEdit *field() const;
    // The text a reader reads as the field's value: its own.
    virtual QString shown() const;
};

} // namespace vantora::ui
