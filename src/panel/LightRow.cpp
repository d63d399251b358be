#include "panel/LightRow.h"

#include "controls/BrightnessScrollTarget.h"
#include "controls/LightToggle.h"
#include "panel/LightRowParts.h"
#include "panel/LightRowTexts.h"
#include "panel/PlainButton.h"
#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/ElidedLabel.h"
#include "ui/FocusHolder.h"
#include "ui/HoverTracker.h"
#include "ui/LightStateIcon.h"
#include "ui/PlainToolTip.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vantora {

namespace {

constexpr int sidePadding = 16;
// The switch draws 4 pixels wider on each side than it takes in the row.
constexpr int toggleOverhang = 4;
constexpr int rowSpacing = 16;
constexpr int contentSpacing = 24;
constexpr int contentMinimumHeight = 48;

QColor displayColour(const HueLight &light)
{
    const LightColour::Rgb rgb = light.displayColour();
    return QColor::fromRgbF(static_cast<float>(rgb.red), static_cast<float>(rgb.green), static_cast<float>(rgb.blue));
}

ui::DynamicColor nameColour(bool reachable)
{
    using ui::colours::grey;
    return reachable ? ui::DynamicColor{ui::colours::grey255(41), grey(0.94)} : ui::DynamicColor{grey(0.58), grey(0.6)};
}

} // namespace

LightRow::LightRow(QWidget *parent)
    : QWidget(parent)
    , m_hover(new ui::HoverTracker(this))
{
    setFixedHeight(height);
    // The row holds the focus while its switch cannot.
    ui::makeFocusHolder(*this, QString());
    buildContent();

    m_toggle = new LightToggle(this);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(sidePadding, 0, sidePadding - toggleOverhang, 0);
    layout->setSpacing(rowSpacing - toggleOverhang);
    layout->addWidget(m_toggle, 0, Qt::AlignVCenter);

    connect(m_hover, &ui::HoverTracker::hoveredChanged, m_chevron, &LightRowChevron::setShown);
    connect(m_toggle, &LightToggle::flipRequested, this, [this](bool on) {
        if (m_fields.onChange)
            m_fields.onChange(m_fields.light, on);
    });
    connect(m_scrollTarget, &controls::BrightnessScrollTarget::clicked, this, [this] {
        if (m_fields.light.hasAdjustableControls() && m_fields.open)
            m_fields.open(m_fields.light);
    });
    connect(m_scrollTarget, &controls::BrightnessScrollTarget::editingChanged, this, &LightRow::scrollEditing);
    connect(m_scrollTarget, &controls::BrightnessScrollTarget::stepped, this, &LightRow::scrollStepped);
}

// The content is one plain widget, so that it can move between the row button and the plain
// area, and so that the decorations it holds stay out of the button's accessibility children.
void LightRow::buildContent()
{
    m_content = new QWidget(this);
    m_content->setMinimumHeight(contentMinimumHeight);

    // The scroll layer stands in the icon's place and takes its clicks and scrolling; the icon
    // is drawn inside it.
    m_scrollTarget = new controls::BrightnessScrollTarget(m_content);
    m_scrollTarget->setFixedSize(ui::LightStateIcon::side, ui::LightStateIcon::side);
    m_icon = new ui::LightStateIcon(m_scrollTarget);
    m_icon->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_name = new ui::ElidedLabel(m_content);
    m_name->setFont(ui::systemFont(14, QFont::Medium));
    m_chevron = new LightRowChevron(m_content);

    m_titleLine = new QHBoxLayout;
    m_titleLine->setSpacing(8);
    m_titleLine->addWidget(m_name);
    m_titleLine->addWidget(m_chevron, 0, Qt::AlignVCenter);
    m_titleLine->addStretch(1);

    m_textColumn = new QVBoxLayout;
    m_textColumn->setSpacing(4);
    m_textColumn->addStretch(1);
    m_textColumn->addLayout(m_titleLine);
    m_textColumn->addStretch(1);

    auto *content = new QHBoxLayout(m_content);
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(contentSpacing);
    content->addWidget(m_scrollTarget, 0, Qt::AlignVCenter);
    content->addLayout(m_textColumn, 1);
}

void LightRow::placeContent(bool asButton)
{
    if (asButton ? m_button != nullptr : m_plainArea != nullptr)
        return;
    QWidget *host = nullptr;
    if (asButton) {
        m_button = new PlainButton(this);
        connect(m_button, &PlainButton::clicked, this, [this] {
            if (m_fields.open)
                m_fields.open(m_fields.light);
        });
        host = m_button;
    } else {
        m_plainArea = new LightRowStop(this);
        host = m_plainArea;
    }
    auto *hostLayout = new QHBoxLayout(host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    hostLayout->addWidget(m_content);

    QWidget *previous = asButton ? m_plainArea.data() : static_cast<QWidget *>(m_button.data());
    if (previous) {
        m_content->setParent(host);
        delete previous;
    }
    static_cast<QHBoxLayout *>(layout())->insertWidget(0, host, 1);
    // Tab reaches the row button before the switch.
    setTabOrder(host, m_toggle);
    m_content->show();
    host->show();
}

void LightRow::apply(const Fields &fields)
{
    const Fields previous = std::exchange(m_fields, fields);
    const bool first = !std::exchange(m_applied, true);
    placeContent(fields.light.hasAdjustableControls());
    if (!first) {
        if (previous.isUpdating != fields.isUpdating)
            m_scrollEdit.updatingChanged(fields.isUpdating);
        if (!(previous.light == fields.light))
            m_scrollEdit.lightChanged(fields.light, fields.isUpdating);
    }
    showFields();
}

bool LightRow::scrollDimmingEnabled() const
{
    const HueLight &light = m_fields.light;
    return !m_fields.brightnessLocked && light.isOn && light.isReachable && light.brightness.has_value();
}

void LightRow::showFields()
{
    const HueLight &light = m_fields.light;
    m_icon->apply({light.isOn, light.isReachable, m_fields.isUpdating, displayColour(light)});
    m_scrollTarget->setDimmingEnabled(scrollDimmingEnabled());
    ui::setPlainToolTip(*m_scrollTarget, lightRowTexts::iconToolTip(light));

    m_name->setText(light.name);
    m_name->setForeground(nameColour(light.isReachable));
    m_chevron->setVisible(light.hasAdjustableControls());
    showBadge(!light.isReachable);

    // A switch disabled while it has the focus would pass it on to the next control, where
    // the user's next key press would act on something else: the row holds the focus until
    // the switch can take it back.
    // An unreachable light with nothing to adjust would have no stop at all: its content
    // is the stop, and holds the focus as the row would.
    const bool switchable = light.isReachable && !m_fields.busy;
    if (m_plainArea)
        m_plainArea->setStop(lightRowTexts::toggleName(light), light.isOn,
                             light.isReachable ? QString() : lightRowTexts::toggleHint(light, false));
    QWidget *holder = m_plainArea && !light.isReachable ? static_cast<QWidget *>(m_plainArea.data()) : this;
    const bool rowHoldsFocus = hasFocus() || (m_plainArea && m_plainArea->hasFocus());
    if (!switchable && (m_toggle->hasFocus() || rowHoldsFocus) && !holder->hasFocus())
        holder->setFocus(Qt::OtherFocusReason);
    m_toggle->setOn(light.isOn);
    m_toggle->setUnavailable(!light.isReachable);
    m_toggle->setEnabled(switchable);
    if (switchable && rowHoldsFocus)
        m_toggle->setFocus(Qt::OtherFocusReason);
    ui::a11y::setName(this, light.name);
    ui::a11y::setName(m_toggle, lightRowTexts::toggleName(light));
    ui::a11y::setDescription(m_toggle, lightRowTexts::toggleHint(light, m_fields.isUpdating));

    if (m_button) {
        ui::a11y::setName(m_button, lightRowTexts::rowName(light));
        ui::a11y::setDescription(m_button, lightRowTexts::rowHint(light));
    }
    showReadout();
}

void LightRow::showBadge(bool shown)
{
    if (shown && !m_badge) {
        m_badge = new UnreachableBadge(m_content);
        m_titleLine->insertWidget(m_titleLine->indexOf(m_chevron) + 1, m_badge, 0, Qt::AlignVCenter);
    }
    if (m_badge)
        m_badge->setVisible(shown);
}

void LightRow::showReadout()
{
    const std::optional<double> readout = m_scrollEdit.readout();
    if (readout && !m_readout) {
        m_readout = new ui::TextLabel(QString(), m_content);
        m_readout->setFont(ui::systemFont(11));
        m_readout->setForeground(ui::systemColours::secondary());
        m_textColumn->insertWidget(m_textColumn->indexOf(m_titleLine) + 1, m_readout);
    }
    if (!m_readout)
        return;
    if (readout)
        m_readout->setText(lightRowTexts::brightnessReadout(*readout));
    m_readout->setVisible(readout.has_value());
}

void LightRow::scrollEditing(bool editing)
{
    m_scrollEdit.editing(editing, m_fields.isUpdating);
    showReadout();
}

void LightRow::scrollStepped(double step)
{
    const std::optional<double> value = m_scrollEdit.step(step, m_fields.light);
    if (!value)
        return;
    showReadout();
    if (m_fields.adjustBrightness)
        m_fields.adjustBrightness(m_fields.light, *value);
}

LightRowStop *LightRow::plainArea() const noexcept
{
    return m_plainArea;
}

bool LightRow::isHovered() const
{
    return m_hover->isHovered();
}

QSize LightRow::sizeHint() const
{
    return {QWidget::sizeHint().width(), height};
}

} // namespace vantora
