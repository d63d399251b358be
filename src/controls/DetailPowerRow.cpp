#include "controls/DetailPowerRow.h"

#include "controls/BrightnessScrollTarget.h"
#include "controls/LightDetailModel.h"
#include "controls/LightToggle.h"
#include "controls/LineLimitedLabel.h"

#include "ui/Accessibility.h"
#include "ui/ElidedLabel.h"
#include "ui/LightStateIcon.h"
#include "ui/PlainToolTip.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vantora::controls {

DetailPowerRow::DetailPowerRow(LightDetailModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_icon(new ui::LightStateIcon(this))
    , m_scrollTarget(new BrightnessScrollTarget(m_icon))
    , m_room(new ui::ElidedLabel(this))
    , m_name(new LineLimitedLabel(2, this))
    , m_toggle(new LightToggle(this))
{
    m_icon->setFixedSize(ui::LightStateIcon::side, ui::LightStateIcon::side);
    m_scrollTarget->setGeometry(0, 0, ui::LightStateIcon::side, ui::LightStateIcon::side);
    ui::setPlainToolTip(*m_scrollTarget, tr("Scroll left to dim, right to brighten."));

    m_room->setFont(ui::systemFont(12, QFont::Medium));
    m_room->setForeground(ui::systemColours::secondary());
    m_room->setFixedHeight(20);
    m_name->setFont(ui::systemFont(18, QFont::Medium));
    m_name->setMinimumHeight(26);
    ui::a11y::setHeading(m_name);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->setContentsMargins(0, 0, 0, 0);
    titles->addWidget(m_room);
    titles->addWidget(m_name);

    constexpr int spacing = 24;
    constexpr int spacerLength = 8;
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 0, 8, 0);
    row->setSpacing(spacing);
    row->addWidget(m_icon, 0, Qt::AlignVCenter);
    // The names take the room left. Before the switch stay the spacing, a spacer of at least
    // 8 and the spacing again; a box layout puts no spacing next to a spacer, so one item
    // holds all three.
    row->addLayout(titles, 1);
    row->addSpacing(spacerLength + spacing);
    row->addWidget(m_toggle, 0, Qt::AlignVCenter);
    setMinimumHeight(50);

    connect(m_scrollTarget, &BrightnessScrollTarget::editingChanged, &m_model, &LightDetailModel::setEditing);
    connect(m_scrollTarget, &BrightnessScrollTarget::stepped, &m_model, &LightDetailModel::scrollBrightness);
    connect(m_toggle, &LightToggle::flipRequested, &m_model, &LightDetailModel::setPower);
    connect(&m_model, &LightDetailModel::changed, this, &DetailPowerRow::refresh);
    refresh();
}

void DetailPowerRow::refresh()
{
    const HueLight &light = m_model.light();
    // Drawn as a light that is off and idle: only its reachability shows; the switch tells
    // the rest.
    m_icon->apply({.isOn = false, .isReachable = light.isReachable, .isUpdating = false, .tint = std::nullopt});
    m_scrollTarget->setDimmingEnabled(m_model.scrollDimmingEnabled());
    m_room->setText(light.roomName);
    m_name->setText(light.name);
    m_toggle->setOn(m_model.displayedIsOn());
    m_toggle->setUnavailable(!light.isReachable);
    m_toggle->setEnabled(m_model.powerToggleEnabled());
    ui::a11y::setName(m_toggle, tr("%1 power").arg(light.name));
}

} // namespace vantora::controls
