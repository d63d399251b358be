#pragma once

#include <QString>

class QPushButton;
class QWidget;

// The pieces the welcome screen's sheets share.
namespace vantora::sheetParts {

inline constexpr int spacing = 16;

// The sheet's title: 18 pixels, semibold.
QWidget *title(const QString &text, QWidget *parent);
// A button in the desktop's own style.
QPushButton *button(const QString &text, QWidget *parent);

} // namespace vantora::sheetParts
