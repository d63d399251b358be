#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace vantora::ui {

// How a panel text field reads to assistive technologies: as Qt's own element for a line edit
// reads it, but with the whole text as one run of text attributes (see LineEditElement).
QAccessibleInterface *panelTextFieldElement(const QString &className, QObject *object);

} // namespace vantora::ui
