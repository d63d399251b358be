#pragma once

#include <QWidget>

class QLabel;

namespace vantora {
class LightDetailModel;
} // namespace vantora

namespace vantora::controls {

class LightValueSlider;

// The brightness card of the light page: its title with the brightness in whole percent,
// and the amber slider from the light's minimum to 100 % between a dim and a bright sun.
class BrightnessCardContent final : public QWidget {
    Q_OBJECT
public:
    explicit BrightnessCardContent(LightDetailModel &model, QWidget *parent = nullptr);

    LightValueSlider *slider() const noexcept { return m_slider; }
    QLabel *readout() const noexcept { return m_readout; }

private:
    void refresh();

    LightDetailModel &m_model;
    QLabel *m_readout;
    LightValueSlider *m_slider;
};

} // namespace vantora::controls
