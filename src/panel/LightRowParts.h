#pragma once

#include "ui/AnimatedValue.h"

#include <QWidget>

namespace vantora {

// The small open arrow after a light's name that says the row opens a page. It fades in
// while the pointer is over the row (0.15 s, at once under Reduce Motion). Hidden from
// accessibility.
class LightRowChevron final : public QWidget {
    Q_OBJECT
public:
    explicit LightRowChevron(QWidget *parent = nullptr);

    void setShown(bool shown);
    qreal opacity() const { return m_opacity.value(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ui::AnimatedValue<double> m_opacity;
};

// The "Unreachable" tag after the name of a light the bridge cannot reach.
class UnreachableBadge final : public QWidget {
    Q_OBJECT
public:
    explicit UnreachableBadge(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vantora
