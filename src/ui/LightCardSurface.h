#pragma once

#include "ui/ColorScheme.h"
#include "ui/DropShadow.h"

#include <QColor>
#include <QWidget>

namespace vantora::ui {

class ShadowUnderlay;

// The rounded card behind room cards, the light page's cards and the shortcut cards: a
// filled rounded rectangle whose content is clipped to its shape, a thin border drawn inside
// its edge over the content (taking no clicks), and a soft shadow that falls outside the
// card without taking part in layout.
//
// Put the content into content() (give it a layout, or paint into it); the card's size
// follows the content's layout like any container's.
class LightCardSurface final : public QWidget {
    Q_OBJECT
public:
    struct Colours final {
        QColor fill;
        QColor border;
        DropShadow shadow;
    };

    static constexpr qreal borderWidth = 0.75;

    explicit LightCardSurface(qreal cornerRadius, QWidget *parent = nullptr);

    QWidget *content() const noexcept { return m_content; }
    qreal cornerRadius() const noexcept { return m_cornerRadius; }

    static Colours colours(ColorScheme scheme);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void followScheme();

    qreal m_cornerRadius;
    QWidget *m_content;
    QWidget *m_border;
    ShadowUnderlay *m_shadow;
};

} // namespace vantora::ui
