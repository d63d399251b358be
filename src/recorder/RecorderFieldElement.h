#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace vantora::recorder {

// How a recorder field reads to assistive technologies: as the text it shows, which for an
// empty field is its placeholder ("Record Shortcut", "Press Shortcut"), labelled by its row's
// title and, where Qt has the relation, described by the row's subtitle. Qt's own element for
// a line edit reads an empty field as no text and knows only labels that are its siblings.
QAccessibleInterface *recorderFieldElement(const QString &className, QObject *object);

} // namespace vantora::recorder
