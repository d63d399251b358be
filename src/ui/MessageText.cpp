#include "ui/MessageText.h"

#include <QEvent>
#include <QRegularExpression>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

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
    connect(document(), &QTextDocument::contentsChanged, this, &MessageText::forgetMeasures);
}

MessageText::~MessageText() = default;

QTextDocument &MessageText::measured() const
{
    if (!m_measured)
        m_measured.reset(document()->clone());
    return *m_measured;
}

void MessageText::forgetMeasures()
{
    m_measured.reset();
    m_naturalWidth.reset();
    m_heights.clear();
}

void MessageText::changeEvent(QEvent *event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        forgetMeasures();
}

int MessageText::naturalWidth() const
{
    if (!m_naturalWidth) {
        QTextDocument &layout = measured();
        layout.setTextWidth(-1);
        m_naturalWidth = int(std::ceil(layout.idealWidth()));
    }
    return *m_naturalWidth + contentsMargins().left() + contentsMargins().right();
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
    const int textWidth = std::max(1, width - contentsMargins().left() - contentsMargins().right());
    auto known = m_heights.find(textWidth);
    if (known == m_heights.end()) {
        // A window dragged wider asks for every width on its way; only the latest few recur.
        if (m_heights.size() >= 16)
            m_heights.clear();
        QTextDocument &layout = measured();
        layout.setTextWidth(textWidth);
        known = m_heights.emplace(textWidth, int(std::ceil(layout.size().height()))).first;
    }
    return known->second + contentsMargins().top() + contentsMargins().bottom();
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
