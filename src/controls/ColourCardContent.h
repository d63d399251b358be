#pragma once

#include <QWidget>

class QLabel;
class QStackedWidget;

namespace vantora {
class LightDetailModel;
} // namespace vantora

namespace vantora::controls {

class ColourSpectrum;
class LightValueSlider;
class PlainTextButton;
class WhitePresetStrip;

// The colour card of the light page. Its header names the card ("White temperature",
// "Colour") or, for a light with both, offers the Colour and White modes; on its right a
// swatch of the current setting, or for a white-only light its temperature to the nearest
// 50 K. Its body is the colour spectrum in colour mode, else the warm-to-cool temperature
// slider over the white presets.
class ColourCardContent final : public QWidget {
    Q_OBJECT
public:
    explicit ColourCardContent(LightDetailModel &model, QWidget *parent = nullptr);

    QLabel *title() const noexcept { return m_title; }
    PlainTextButton *colourSegment() const noexcept { return m_colourSegment; }
    PlainTextButton *whiteSegment() const noexcept { return m_whiteSegment; }
    QWidget *swatch() const noexcept { return m_swatch; }
    QLabel *kelvinReadout() const noexcept { return m_kelvinReadout; }
    ColourSpectrum *spectrum() const noexcept { return m_spectrum; }
    LightValueSlider *temperatureSlider() const noexcept { return m_temperatureSlider; }
    WhitePresetStrip *presets() const noexcept { return m_presets; }

private:
    void refresh();

    LightDetailModel &m_model;
    QLabel *m_title;
    QWidget *m_modeSelector;
    PlainTextButton *m_colourSegment;
    PlainTextButton *m_whiteSegment;
    QWidget *m_swatch;
    QLabel *m_kelvinReadout;
    QStackedWidget *m_body;
    QWidget *m_colourBody;
    ColourSpectrum *m_spectrum;
    QWidget *m_whiteBody;
    LightValueSlider *m_temperatureSlider;
    WhitePresetStrip *m_presets;
};

} // namespace vantora::controls
