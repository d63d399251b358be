#pragma once

#include "welcome/PillContent.h"

namespace vantora {

class PillText;

// The `found` look: the bridge glyph, the bridge's name and, after a wider gap, its address
// in the secondary colour. When the two do not fit, the address keeps its width and the name
// is cut at its end; an address too long by itself is cut in its middle. Presented to
// accessibility as one element, with a tooltip that says to press the bridge's button.
class FoundContent final : public PillContent {
    Q_OBJECT
public:
    FoundContent(QWidget *pill, const QString &name, const QString &address);

    PillText *nameText() const noexcept { return m_name; }
    PillText *addressText() const noexcept { return m_address; }

protected:
    void layoutContent() override;
    void paintEvent(QPaintEvent *event) override;

private:
    qreal rowLeft() const;

    PillText *m_name;
    PillText *m_address;
};

} // namespace vantora
