#include "ui/MessageText.h"

#include <QRegularExpression>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <memory>

namespace vantora::ui {

MessageText::MessageText(const QString &text, QWidget *parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::ClickFocus);
    setTabChangesFocus(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    document()->setDocumentMargin(0);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setPlainText(text);
    QSizePolicy policy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int MessageText::naturalWidth() const
{
    const std::unique_ptr<QTextDocument> layout(document()->clone());
    layout->setTextWidth(-1);
    return int(std::ceil(layout->idealWidth())) + contentsMargins().left() + contentsMargins().right();
}

int MessageText::widestWordWidth() const
{
    static const QRegularExpression word(QStringLiteral("\\S+"));
    int widest = 0;
    for (const QRegularExpressionMatch &match : word.globalMatch(toPlainText()))
        widest = std::max(widest, fontMetrics().horizontalAdvance(match.captured()));
    return widest + contentsMargins().left() + contentsMargins().right();
}

int MessageText::heightForWidth(int width) const
{
    const std::unique_ptr<QTextDocument> layout(document()->clone());
    layout->setTextWidth(std::max(1, width - contentsMargins().left() - contentsMargins().right()));
    return int(std::ceil(layout->size().height())) + contentsMargins().top() + contentsMargins().bottom();
}

QSize MessageText::sizeHint() const
{
    // A width set from outside is the one the text is laid out at (a message box takes its
    // texts' minimum widths); else one line.
    const int width = minimumWidth() > 0 ? minimumWidth() : naturalWidth();
    return {width, heightForWidth(width)};
}

QSize MessageText::minimumSizeHint() const
{
    const int width = std::max(1, minimumWidth());
    return {width, heightForWidth(width)};
}

} // namespace vantora::ui
