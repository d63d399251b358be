#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace vantora::ui {

// How a panel text field reads to assistive technologies: as Qt's own element for a line edit
// reads it, but with the whole text as one run of text attributes. Qt's element gives each
// offset an empty run, and a reader that joins the runs into spans of one language (Orca 43)
// then reads the field without its last character.
QAccessibleInterface *panelTextFieldElement(const QString &className, QObject *object);

} // namespace vantora::ui
