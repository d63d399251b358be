#include "controls/ColourCardContent.h"

#include "controls/ColourSpectrum.h"
#include "controls/FocusRing.h"
#include "controls/LightDetailModel.h"
#include "controls/LightValueSlider.h"
#include "controls/PlainTextButton.h"
#include "controls/WhitePresetStrip.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/Shapes.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vantora::controls {

namespace {

using Title = LightDetailModel::ColourCardTitle;
using Indicator = LightDetailModel::ColourCardIndicator;

QColor primaryAt(const QWidget *widget, qreal alpha)
{
    QColor colour = widget->palette().color(QPalette::WindowText);
    colour.setAlphaF(alpha);
    return colour;
}

// A round sample of the colour the light is set to; decoration only.
class Swatch final : public QWidget {
public:
    explicit Swatch(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(20, 20);
        ui::a11y::setHidden(this);
    }

    void setColour(const QColor &colour)
    {
        if (colour == m_colour)
            return;
        m_colour = colour;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_colour);
        painter.drawEllipse(QRectF(rect()));
        ui::shapes::strokeInside(painter, QRectF(rect()), ui::shapes::capsule, 0.75, primaryAt(this, 0.1));
    }

private:
    QColor m_colour;
};

class SegmentDivider final : public QWidget {
public:
    explicit SegmentDivider(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(2, 20);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), primaryAt(this, 0.12));
    }
};

ui::TextLabel *rowLabel(const QString &text, int width, Qt::Alignment alignment, QWidget *parent)
{
    auto *label = new ui::TextLabel(text, parent);
    label->setFont(ui::systemFont(12, QFont::Medium));
    label->setForeground(ui::systemColours::secondary());
    label->setFixedWidth(width);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

} // namespace

ColourCardContent::ColourCardContent(LightDetailModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_title(new ui::TextLabel(QString(), this))
    , m_modeSelector(new QWidget(this))
    , m_colourSegment(new PlainTextButton(tr("Colour"), m_modeSelector))
    , m_whiteSegment(new PlainTextButton(tr("White"), m_modeSelector))
    , m_swatch(new Swatch(this))
    , m_kelvinReadout(new ui::TextLabel(QString(), this))
    , m_body(new QStackedWidget(this))
    , m_colourBody(new QWidget(m_body))
    , m_spectrum(new ColourSpectrum(m_colourBody))
    , m_whiteBody(new QWidget(m_body))
    , m_temperatureSlider(new LightValueSlider(SliderSize::Full, SliderOrientation::Horizontal, m_whiteBody))
    , m_presets(new WhitePresetStrip(model, m_whiteBody))
{
    m_title->setFont(ui::systemFont(14, QFont::Medium));
    m_kelvinReadout->setFont(ui::systemFont(14));
    for (PlainTextButton *segment : {m_colourSegment, m_whiteSegment})
        segment->setFixedHeight(24);
    auto *selector = new QHBoxLayout(m_modeSelector);
    selector->setContentsMargins(0, 0, 0, 0);
    selector->setSpacing(0);
    selector->addWidget(m_colourSegment);
    selector->addSpacing(16);
    selector->addWidget(new SegmentDivider(m_modeSelector));
    selector->addSpacing(16);
    selector->addWidget(m_whiteSegment);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(16, 16, 16, 16);
    header->setSpacing(0);
    header->addWidget(m_title);
    header->addWidget(m_modeSelector);
    header->addStretch();
    header->addWidget(m_swatch);
    header->addWidget(m_kelvinReadout);
    auto *headerBox = new QWidget(this);
    headerBox->setLayout(header);
    headerBox->setFixedHeight(20 + 32);

    auto *colourLayout = new QVBoxLayout(m_colourBody);
    colourLayout->setContentsMargins(16 - int(focusRing::outset), 0, 16 - int(focusRing::outset), 16);
    colourLayout->addWidget(m_spectrum);
    m_spectrum->setFixedHeight(88 + 2 * int(focusRing::outset));

    auto *temperatureRow = new QHBoxLayout;
    temperatureRow->setContentsMargins(16, 0, 16, 0);
    // As the spectrum does, the slider's focus-ring room is taken from the gaps beside it.
    temperatureRow->setSpacing(16 - int(focusRing::outset));
    temperatureRow->addWidget(rowLabel(tr("Warm"), 34, Qt::AlignLeft, m_whiteBody));
    temperatureRow->addWidget(m_temperatureSlider, 1);
    temperatureRow->addWidget(rowLabel(tr("Cool"), 27, Qt::AlignRight, m_whiteBody));
    auto *temperatureBox = new QWidget(m_whiteBody);
    temperatureBox->setLayout(temperatureRow);
    temperatureBox->setFixedHeight(56);
    m_temperatureSlider->setLabel(tr("White temperature"));
    m_temperatureSlider->setAccessibleStep(LightDetailModel::kelvinStep);
    m_temperatureSlider->setColours({ui::DynamicColor::fixed(QColor::fromRgbF(1.0, 0.69, 0.32)),
                                     ui::DynamicColor::fixed(QColor::fromRgbF(1.0, 0.93, 0.77)),
                                     ui::DynamicColor::fixed(QColor::fromRgbF(0.8, 0.9, 1.0))});

    auto *whiteLayout = new QVBoxLayout(m_whiteBody);
    whiteLayout->setContentsMargins(0, 0, 0, 0);
    whiteLayout->setSpacing(0);
    whiteLayout->addWidget(temperatureBox);
    whiteLayout->addWidget(m_presets);

    m_body->addWidget(m_colourBody);
    m_body->addWidget(m_whiteBody);
    // Only one page shows at a time, so the stack is no layered pane to a reader: it would
    // say so before the spectrum and the temperature slider each time.
    ui::a11y::setRole(m_body, QAccessible::Client);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(headerBox);
    column->addWidget(m_body);

    connect(m_colourSegment, &QAbstractButton::clicked, &m_model, [this] { m_model.setWhiteMode(false); });
    connect(m_whiteSegment, &QAbstractButton::clicked, &m_model, [this] { m_model.setWhiteMode(true); });
    connect(m_spectrum, &ColourSpectrum::edited, &m_model, [this] {
        m_model.setHueSaturation(m_spectrum->hue(), m_spectrum->saturation());
        m_model.sendColour();
    });
    connect(m_spectrum, &ColourSpectrum::editingChanged, &m_model, &LightDetailModel::setEditing);
    connect(m_temperatureSlider, &LightValueSlider::valueEdited, &m_model, &LightDetailModel::setKelvin);
    connect(m_temperatureSlider, &LightValueSlider::editingChanged, &m_model, &LightDetailModel::setEditing);
    connect(&m_model, &LightDetailModel::changed, this, &ColourCardContent::refresh);
    refresh();
}

void ColourCardContent::refresh()
{
    const Title title = m_model.colourCardTitle();
    m_title->setVisible(title != Title::ModeSelector);
    m_title->setText(title == Title::Colour ? tr("Colour") : tr("White temperature"));
    m_modeSelector->setVisible(title == Title::ModeSelector);
    const bool white = m_model.whiteMode();
    for (PlainTextButton *segment : {m_colourSegment, m_whiteSegment}) {
        const bool selected = (segment == m_whiteSegment) == white;
        segment->setSelected(selected);
        segment->setFont(ui::systemFont(14, selected ? QFont::Medium : QFont::Normal));
        segment->setForeground(selected ? ui::DynamicColor{ui::colours::grey(0.16), ui::colours::grey(0.94)}
                                        : ui::systemColours::secondary());
    }

    const bool readout = m_model.colourCardIndicator() == Indicator::KelvinReadout;
    m_kelvinReadout->setVisible(readout);
    m_kelvinReadout->setText(m_model.kelvinReadout());
    m_swatch->setVisible(!readout);
    static_cast<Swatch *>(m_swatch)->setColour(m_model.swatchColour());

    m_body->setCurrentWidget(white ? m_whiteBody : m_colourBody);
    m_spectrum->setColour(m_model.hue(), m_model.saturation());
    m_temperatureSlider->setRange(m_model.kelvinRange());
    m_temperatureSlider->setValue(m_model.kelvin());
    m_temperatureSlider->setValueLabel(m_model.kelvinValueLabel());
}

} // namespace vantora::controls
