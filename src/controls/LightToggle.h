#pragma once

#include "controls/LightToggleArtwork.h"

#include <QAbstractButton>

namespace vantora {

// A light's on/off switch. It only asks: a press (or Space, Return, or an assistive toggle
// action) emits `flipRequested` with the opposite of what it shows, and the switch keeps the
// light's state until the owner hands in the new one with setOn(). Disabled while the light
// is unavailable. Assistive technologies see one ordinary check box with the owner's name.
class LightToggle final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr QSize frame{60, 44};

    explicit LightToggle(QWidget *parent = nullptr);

    void setOn(bool on);
    bool isOn() const { return isChecked(); }
    // Also disables the switch; it stays disabled while its surroundings are.
    void setUnavailable(bool unavailable);
    bool isUnavailable() const noexcept { return m_unavailable; }

    LightToggleArtwork *artwork() const noexcept { return m_artwork; }

    QSize sizeHint() const override { return frame; }

Q_SIGNALS:
    void flipRequested(bool on);

protected:
    void nextCheckState() override;
    void checkStateSet() override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showState();

    LightToggleArtwork *m_artwork;
    bool m_unavailable = false;
    // The state the owner last set; anything else that checks or unchecks is put back.
    bool m_on = false;
    bool m_showsFocus = false;
};

} // namespace vantora
