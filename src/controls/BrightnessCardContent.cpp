#include "controls/BrightnessCardContent.h"

#include "controls/FocusRing.h"
#include "controls/LightDetailModel.h"
#include "controls/LightValueSlider.h"
#include "controls/TemplateIcon.h"

#include "ui/Colours.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vantora::controls {

namespace {

const QColor amber(251, 173, 28);

} // namespace

BrightnessCardContent::BrightnessCardContent(LightDetailModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_readout(new ui::TextLabel(QString(), this))
    , m_slider(new LightValueSlider(SliderSize::Full, SliderOrientation::Horizontal, this))
{
    auto *title = new ui::TextLabel(tr("Brightness"), this);
    title->setFont(ui::systemFont(14, QFont::Medium));
    title->setFixedHeight(20);
    m_readout->setFont(ui::systemFont(14));
    m_readout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(16, 16, 16, 16);
    titleRow->addWidget(title);
    titleRow->addStretch();
    titleRow->addWidget(m_readout);

    m_slider->setLabel(tr("Brightness"));
    m_slider->setColours({ui::DynamicColor{ui::colours::grey(0.91), ui::colours::grey(0.23)},
                          ui::DynamicColor::fixed(amber)});
    m_slider->setFill(ui::DynamicColor::fixed(amber));

    auto *dim = new TemplateIcon(ui::Image::BrightnessMin, {24, 24}, this);
    dim->setForeground(ui::DynamicColor{ui::systemColours::secondary().light, ui::colours::grey(0.65)});
    auto *bright = new TemplateIcon(ui::Image::BrightnessMax, {24, 24}, this);

    auto *sliderRow = new QHBoxLayout;
    sliderRow->setContentsMargins(16, 0, 16, 0);
    // The slider keeps room for its focus ring around the track; the track stands 16 from
    // the icons.
    sliderRow->setSpacing(16 - int(focusRing::outset));
    sliderRow->addWidget(dim);
    sliderRow->addWidget(m_slider, 1);
    sliderRow->addWidget(bright);
    auto *sliderBox = new QWidget(this);
    sliderBox->setLayout(sliderRow);
    sliderBox->setFixedHeight(56);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(titleRow);
    column->addWidget(sliderBox);

    connect(m_slider, &LightValueSlider::valueEdited, &m_model, &LightDetailModel::setBrightness);
    connect(m_slider, &LightValueSlider::editingChanged, &m_model, &LightDetailModel::setEditing);
    connect(&m_model, &LightDetailModel::changed, this, &BrightnessCardContent::refresh);
    refresh();
}

void BrightnessCardContent::refresh()
{
    m_readout->setText(m_model.brightnessReadout());
    m_slider->setRange(m_model.brightnessRange());
    m_slider->setValue(m_model.brightness());
    m_slider->setValueLabel(m_model.brightnessValueLabel());
}

} // namespace vantora::controls
