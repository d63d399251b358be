#pragma once

#include "ui/DropShadow.h"

#include <QPointer>
#include <QWidget>

namespace vantora::ui {

// Paints a widget's drop shadow outside the widget's own rectangle, the way a shadow falls
// around a card without taking part in layout: a mouse-transparent sibling stacked just under
// the widget, which follows its geometry, visibility and parent, and is hidden from
// accessibility. The widget is a rounded rectangle of the given corner radius
// (shapes::capsule for a capsule). Dies with the widget.
class ShadowUnderlay final : public QWidget {
    Q_OBJECT
public:
    ShadowUnderlay(QWidget *caster, qreal cornerRadius, DropShadow shadow);

    void setShadow(const DropShadow &shadow);
    const DropShadow &shadow() const noexcept { return m_shadow; }
    // The caster's own opacity, which its shadow shares.
    void setShadowOpacity(qreal opacity);
    qreal shadowOpacity() const noexcept { return m_opacity; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();

    QPointer<QWidget> m_caster;
    qreal m_cornerRadius;
    DropShadow m_shadow;
    qreal m_opacity = 1;
};

} // namespace vantora::ui
