#pragma once

#include "store/ToggleColor.h"

#include "ui/AnimatedValue.h"

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace vantora {
class ToggleAppearance;
}

namespace vantora::recorder {

class ToggleColorSwatch;

// The row of toggle colours at the foot of the keyboard-shortcuts page: one swatch per
// colour, the chosen one ringed. A click chooses at once for every toggle of the app and is
// kept in user defaults; the ring slides to the new swatch. From the keyboard the row is one
// group of radio buttons: Tab enters on the chosen colour, the arrows (Home, End) choose
// another and take the focus along.
class ToggleColorPicker final : public QWidget {
    Q_OBJECT
public:
    explicit ToggleColorPicker(ToggleAppearance &appearance, QWidget *parent = nullptr);

    const std::vector<ToggleColorSwatch *> &swatches() const noexcept { return m_swatches; }
    // Where the ring is headed: the chosen colour's place in the row.
    double ringTarget() const noexcept { return m_ringPosition.target(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void follow();
    bool chooseByKey(const ToggleColorSwatch *swatch, int key);
    QRectF ringRect(double position) const;

    QPointer<ToggleAppearance> m_appearance;
    std::vector<ToggleColorSwatch *> m_swatches;
    QWidget *m_row = nullptr;
    // The ring's place as a swatch index; fractional while it slides.
    ui::AnimatedValue<double> m_ringPosition;
};

// One colour of the picker: the toggle drawn on in that colour.
class ToggleColorSwatch final : public QAbstractButton {
    Q_OBJECT
public:
    ToggleColorSwatch(ToggleColor color, QWidget *parent = nullptr);

    ToggleColor color() const noexcept { return m_color; }
    // Only the chosen swatch is a Tab stop.
    void setSelected(bool selected);
    bool showsFocusRing() const noexcept { return m_showsFocusRing; }
    QSize sizeHint() const override { return {46, 44}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // Pressed while chosen, the swatch stays chosen and says so.
    void nextCheckState() override;

private:
    ToggleColor m_color;
    bool m_showsFocusRing = false;
};

} // namespace vantora::recorder
