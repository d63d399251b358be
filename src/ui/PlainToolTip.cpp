#include "ui/PlainToolTip.h"

#include <QTextDocument>

namespace vantora::ui {

QString plainToolTip(const QString &text)
{
    if (text.isEmpty())
        return {};
    // Qt guesses whether a tooltip is rich text; escaped text wrapped as a paragraph leaves
    // nothing to guess.
    return Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

} // namespace vantora::ui
