#pragma once

#include <QString>

class QWidget;

namespace vantora::ui {

// A tooltip that shows `text` exactly as written: markup in it (a light named "<b>Hall</b>")
// is shown as characters, never interpreted, and line breaks stay. Empty text gives an empty
// tooltip (none).
QString plainToolTip(const QString &text);

// Gives `widget` the tooltip `text`, shown as plainToolTip shows it, and tells assistive
// technologies the same plain text as the widget's description, unless it only repeats the
// widget's name (set the name first). Empty text: no tooltip and no description. The
// widget's own toolTip() stays empty: Qt would hand that markup on as the description.
// A widget whose tooltip only repeats what a control inside it tells a reader keeps no
// description: `reading` NotTold.
enum class ToolTipReading {
    Told,
    NotTold,
};
void setPlainToolTip(QWidget &widget, const QString &text, ToolTipReading reading = ToolTipReading::Told);

// The text `widget` shows as its tooltip through setPlainToolTip; empty for none.
QString plainToolTipOf(const QWidget &widget);

} // namespace vantora::ui
