#include "controls/RoomBrightnessPreview.h"

#include "bridge/HueSnapshot.h"
#include "store/HalvetStore.h"
#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PanelCheckBox.h"
#include "ui/SchemePalette.h"
#include "ui/SegmentedControl.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace vantora::controls {

namespace {

constexpr int windowWidth = 440;
constexpr int sampleLightCount = 15;

} // namespace

QString RoomBrightnessPreview::title() { return tr("vantora \u2014 Brightness examples"); }

bool RoomBrightnessPreview::isRequested(const QStringList &arguments)
{
    return arguments.contains(launchFlag);
}

QString RoomBrightnessPreview::footprintText(RoomBrightnessStyle style)
{
    switch (style) {
    case RoomBrightnessStyle::edge:
        return tr("32 \u00d7 144 pt \u00b7 two light rows tall");
    case RoomBrightnessStyle::slim:
        return tr("164 \u00d7 40 pt \u00b7 just the slider");
    case RoomBrightnessStyle::vertical:
        return tr("46 \u00d7 136 pt \u00b7 a narrow upright control");
    case RoomBrightnessStyle::percentage:
        return tr("180 \u00d7 40 pt \u00b7 slider with a quiet percentage");
    }
    return {};
}

QString RoomBrightnessPreview::caption(RoomBrightnessStyle style)
{
    return footprintText(style) + tr(" \u00b7 Click a sun to try it.");
}

std::unique_ptr<HalvetStore> RoomBrightnessPreview::makeDemoStore(std::unique_ptr<ConnectionStorage> storage,
                                                                  runtime::Clock &clock, runtime::Executor &executor)
{
    // A demonstration store applies changes to its own snapshot and asks no service for
    // anything, so it is given none.
    return std::make_unique<HalvetStore>(StoreMode::demo, HueSnapshot::sample(sampleLightCount), std::move(storage),
                                         LightServiceFactory{}, PairingServiceFactory{}, BridgeSearch{},
                                         AutomaticReconnection::off, clock, executor);
}

RoomBrightnessPreview::RoomBrightnessPreview(std::unique_ptr<HalvetStore> store, PanelFactory makePanel,
                                             QWidget *parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_makePanel(std::move(makePanel))
    , m_darkSwitch(new ui::PanelCheckBox(tr("Dark"), this))
    , m_picker(new ui::SegmentedControl(tr("Popover style"), ui::SegmentedControl::LabelVisibility::hidden, this))
    , m_caption(new ui::TextLabel({}, this))
    , m_divider(new QWidget(this))
    , m_panelHost(new QWidget(this))
{
    setWindowTitle(title());
    setFixedWidth(windowWidth);
    ui::Environment::scope(this).set(ui::colorSchemeKey, ui::ColorScheme::Light);

    auto *header = new QVBoxLayout;
    header->setContentsMargins(16, 16, 16, 16);
    header->setSpacing(10);

    auto *titleRow = new QHBoxLayout;
    auto *heading = new ui::TextLabel(tr("Room brightness"), this);
    heading->setFont(ui::systemFont(15, QFont::Medium));
    ui::a11y::setHeading(heading);
    titleRow->addWidget(heading);
    titleRow->addStretch();
    m_darkSwitch->setFont(ui::systemFont(11));
    titleRow->addWidget(m_darkSwitch);
    header->addLayout(titleRow);

    for (const RoomBrightnessStyle style : allRoomBrightnessStyles)
        m_picker->addSegment(rawValue(style), static_cast<int>(style));
    m_picker->setSelected(static_cast<int>(m_selection));
    header->addWidget(m_picker);

    m_caption->setFont(ui::systemFont(11));
    m_caption->setForeground(ui::systemColours::secondary());
    m_caption->setWordWrap(true);
    header->addWidget(m_caption);

    m_divider->setFixedHeight(1);
    m_divider->setAutoFillBackground(true);

    auto *panelLayout = new QVBoxLayout(m_panelHost);
    panelLayout->setContentsMargins(0, 0, 0, 0);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    layout->addWidget(m_divider);
    layout->addWidget(m_panelHost, 1);

    connect(m_darkSwitch, &QCheckBox::toggled, this, [this](bool dark) { setDark(dark); });
    connect(m_picker, &ui::SegmentedControl::idClicked, this,
            [this](int id) { select(static_cast<RoomBrightnessStyle>(id)); });
    m_caption->setText(caption(m_selection));
    applyScheme();
    rebuildPanel();
}

RoomBrightnessPreview::~RoomBrightnessPreview()
{
    // The panel observes the store, so it goes first.
    delete m_panel;
}

QString RoomBrightnessPreview::captionText() const { return m_caption->text(); }

void RoomBrightnessPreview::select(RoomBrightnessStyle style)
{
    if (style == m_selection)
        return;
    m_selection = style;
    m_picker->setSelected(static_cast<int>(style));
    m_caption->setText(caption(style));
    rebuildPanel();
}

void RoomBrightnessPreview::setDark(bool dark)
{
    if (dark == m_dark)
        return;
    m_dark = dark;
    m_darkSwitch->setChecked(dark);
    ui::Environment::scope(this).set(ui::colorSchemeKey, dark ? ui::ColorScheme::Dark : ui::ColorScheme::Light);
    applyScheme();
}

void RoomBrightnessPreview::applyScheme()
{
    // What Qt draws from the palette inside the window follows the scheme too.
    const bool dark = ui::colorScheme(this) == ui::ColorScheme::Dark;
    ui::followScheme(*this);
    QPalette line = m_divider->palette();
    line.setColor(QPalette::Window, dark ? ui::colours::white(0.12) : ui::colours::black(0.1));
    m_divider->setPalette(line);
    update();
}

void RoomBrightnessPreview::rebuildPanel()
{
    delete m_panel;
    ui::Environment::scope(m_panelHost).set(roomBrightnessStyleKey, m_selection);
    if (!m_makePanel)
        return;
    m_panel = m_makePanel(*m_store, m_panelHost);
    if (m_panel)
        m_panelHost->layout()->addWidget(m_panel);
}

void RoomBrightnessPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ui::systemColours::windowBackground().resolve(ui::colorScheme(this)));
}

} // namespace vantora::controls
