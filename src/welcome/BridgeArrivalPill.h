#pragma once

#include "welcome/ArrivalAppearance.h"

#include "ui/AnimatedValue.h"

#include <QWidget>

namespace vantora {

class ArrivalSpinner;

namespace ui {
class ShadowUnderlay;
}

// The capsule shown right after a first pairing: "Loading lights…" with a spinner, then
// "Connected" with a check mark, in the state's warm or cool colours. It is 32 pixels high
// and as wide as its row, whose label is exactly as wide as the current text; it sizes
// itself and its parent places it.
//
// A change of state fades the spinner out and the check mark in (or back), cross-fades the
// texts, narrows or widens the label and moves every colour, with a spring, or under Reduce
// Motion with a 0.15 s ease-in-out. The spinner turns only while loading. Presented to
// accessibility as one element whose name follows the state.
class BridgeArrivalPill final : public QWidget {
    Q_OBJECT
public:
    using State = arrivalAppearance::State;

    static constexpr int pillHeight = 32;
    static constexpr int sidePadding = 12;
    static constexpr int indicatorSide = 14;
    static constexpr int spacing = 8;
    static constexpr int labelHeight = 20;

    explicit BridgeArrivalPill(State state, QWidget *parent = nullptr);

    void apply(State state);
    State state() const noexcept { return m_state; }
    // 0 while loading, 1 once connected, in between while changing.
    double connectedness() const { return m_connectedness.value(); }
    ArrivalSpinner *spinner() const noexcept { return m_spinner; }

    // The pill's width around a label of `labelWidth` pixels.
    static qreal widthFor(qreal labelWidth);
    // What the pill reads as in `state`.
    static QString spokenLabel(State state);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void followConnectedness();
    void applyShadows();
    QRectF labelFrame() const;

    State m_state;
    ArrivalSpinner *m_spinner;
    ui::ShadowUnderlay *m_tintShadow;
    ui::AnimatedValue<double> m_connectedness;
};

} // namespace vantora
