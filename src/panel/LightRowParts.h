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

// The row's content for a light with nothing to adjust, where the switch is the light's one
// control. While the switch cannot take the keys because the light is unreachable, the
// content takes them instead: Tab still reaches the light, which a reader hears as its
// switch, unavailable, and why. A focus ring shows while the keyboard brought the focus.
class LightRowStop final : public QWidget {
    Q_OBJECT
public:
    explicit LightRowStop(QWidget *parent = nullptr);

    // A stop read as the switch named `name`, on as `on` says and described by `reason`; no
    // stop with an empty `reason`.
    void setStop(const QString &name, bool on, const QString &reason);
    bool isStop() const { return focusPolicy() != Qt::NoFocus; }
    bool isOn() const { return m_on; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_on = false;
    bool m_showsFocus = false;
};

} // namespace vantora
