#include "ui/MessageBoxText.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace vantora::ui {

namespace {

const QRegularExpression &words()
{
    static const QRegularExpression pattern(QStringLiteral("\\S+"));
    return pattern;
}

// `text` with a break opportunity (a zero-width space) between the characters of every word
// wider than `width`, so that a line may end inside such a word instead of running on.
QString breakingLongWords(const QString &text, const QFontMetrics &metrics, int width)
{
    QString broken;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch &match : words().globalMatch(text)) {
        broken += QStringView(text).mid(copied, match.capturedStart() - copied);
        const QString word = match.captured();
        copied = match.capturedEnd();
        if (metrics.horizontalAdvance(word) <= width) {
            broken += word;
            continue;
        }
        QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, word);
        qsizetype from = 0;
        for (qsizetype to = characters.toNextBoundary(); to != -1; to = characters.toNextBoundary()) {
            if (from > 0)
                broken += QChar(0x200B);
            broken += QStringView(word).mid(from, to - from);
            from = to;
        }
    }
    broken += QStringView(text).mid(copied);
    return broken;
}

} // namespace

void setPlainMessage(QMessageBox &box, const QString &title, const QString &message)
{
    box.setTextFormat(Qt::PlainText);
    // Half the screen's width holds any word a person reads at once.
    const int widestLine = box.screen()->availableGeometry().width() / 2;
    const QFontMetrics metrics(box.font());
    box.setText(breakingLongWords(title, metrics, widestLine));
    box.setInformativeText(breakingLongWords(message, metrics, widestLine));
    auto *informative = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
    if (!informative)
        return;
    // The informative label does not follow the box's text format.
    informative->setTextFormat(Qt::PlainText);
    // The box is only as wide as its title, and wrapping breaks an address after each slash;
    // lines break between words only.
    int widestWord = 0;
    for (const QRegularExpressionMatch &match : words().globalMatch(message))
        widestWord = std::max(widestWord, metrics.horizontalAdvance(match.captured()));
    informative->setMinimumWidth(std::min(widestWord, widestLine));
}

} // namespace vantora::ui
