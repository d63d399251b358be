#include "ui/MessageBoxText.h"

#include "ui/Accessibility.h"
#include "ui/MessageText.h"

#include <QChildEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

namespace vantora::ui {

namespace {

// Keeps the box's texts where its own labels are laid out. The box lays itself out anew
// whenever its icon, details or check box change and when the style changes, each time in
// a layout of its own: the texts are put back as each such layout is set.
class TextsInPlace final : public QObject {
public:
    static inline const QString titleLabel = QStringLiteral("qt_msgbox_label");
    static inline const QString messageLabel = QStringLiteral("qt_msgbox_informativelabel");

    TextsInPlace(QMessageBox &box, const QString &title, const QString &message)
        : QObject(&box)
        , m_box(box)
        , m_title(new MessageText(title, &box))
        , m_message(new MessageText(message, &box))
    {
        m_title->setObjectName(titleLabel + QStringLiteral("_text"));
        m_message->setObjectName(messageLabel + QStringLiteral("_text"));
        // Read out with the box as the labels they stand for would be, not as nameless fields.
        a11y::setName(m_title, title);
        a11y::setName(m_message, message);
        // Half the screen's width holds any word a person reads at once; longer ones break.
        const int widestLine = box.screen()->availableGeometry().width() / 2;
        // The box is as wide as its title, and its message breaks between words only where
        // the title leaves room for the widest: an address stays on one line.
        m_title->setMinimumWidth(std::min(m_title->naturalWidth(), widestLine));
        m_message->setMinimumWidth(std::min(m_message->widestWordWidth(), widestLine));
        place(qobject_cast<QGridLayout *>(box.layout()));
        box.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The layout is set with all the box's own widgets in it, before the box takes its
        // size from it.
        if (watched == &m_box && event->type() == QEvent::ChildAdded) {
            if (auto *grid = qobject_cast<QGridLayout *>(static_cast<QChildEvent *>(event)->child()))
                place(grid);
        }
        return false;
    }

private:
    void place(QGridLayout *grid)
    {
        placeOver(grid, m_title, m_box.findChild<QLabel *>(titleLabel));
        placeOver(grid, m_message, m_box.findChild<QLabel *>(messageLabel));
    }

    // Shows `text` in the place of the box's own `label`, which stays (hidden) for what reads
    // the box's texts.
    static void placeOver(QGridLayout *grid, MessageText *text, QLabel *label)
    {
        const int index = label && grid ? grid->indexOf(label) : -1;
        text->setVisible(index >= 0);
        if (index < 0)
            return;
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        text->setContentsMargins(label->contentsMargins());
        label->hide();
        grid->addWidget(text, row, column, rows, columns);
    }

    QMessageBox &m_box;
    MessageText *m_title;
    MessageText *m_message;
};

} // namespace

void setPlainMessage(QMessageBox &box, const QString &title, const QString &message)
{
    box.setTextFormat(Qt::PlainText);
    box.setText(title);
    box.setInformativeText(message);
    // The informative label takes the box's text format only when it is there as the format
    // is set, and only in some Qt versions: where the texts cannot be put in place, the box
    // shows its own labels, and neither may read the message as markup.
    box.setTextFormat(Qt::PlainText);
    if (auto *informative = box.findChild<QLabel *>(TextsInPlace::messageLabel))
        informative->setTextFormat(Qt::PlainText);
    new TextsInPlace(box, title, message);
    // A reader speaks an alert's title and its description as it opens; the message, a text a
    // person can select, would be read only once reached.
    a11y::setDescription(&box, message);
}

} // namespace vantora::ui
