#pragma once

#include "ui/DynamicColor.h"

#include <QWidget>

namespace vantora {

// One line of text inside the connection pill, always plain (markup in a bridge name shows
// as characters): cut at its end or in its middle when its width is too small, with line
// breaks shown as spaces. It presents itself to accessibility as static text with the full
// text as its name.
class PillText final : public QWidget {
    Q_OBJECT
public:
    PillText(const QString &text, Qt::TextElideMode elision, ui::DynamicColor colour, QWidget *parent);

    const QString &text() const noexcept { return m_text; }
    // The width the whole text takes, rounded up to a whole pixel.
    int naturalWidth() const;
    // What is drawn at the current width.
    QString displayedText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    Qt::TextElideMode m_elision;
    ui::DynamicColor m_colour;
};

} // namespace vantora
