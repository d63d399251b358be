#include "panel/FooterMotionPreview.h"

#include "bridge/HueSnapshot.h"
#include "onboarding/PreviewConnectionStorage.h"
#include "panel/LightsPanel.h"
#include "panel/PanelNavigation.h"
#include "store/HalvetStore.h"
#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PanelButton.h"
#include "ui/PanelCheckBox.h"
#include "ui/SchemePalette.h"
#include "ui/SegmentedControl.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"
#include "ui/ViewRuntime.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantora {

namespace {

constexpr int controlsPadding = 16;
constexpr int controlsSpacing = 12;
constexpr int showHideWidth = 48;

std::unique_ptr<HalvetStore> makeDemoStore(FooterMotionPreview::Services &services)
{
    // In memory, never the keyring: a demonstration must not overwrite or delete the
    // user's saved bridge.
    return std::make_unique<HalvetStore>(
        StoreMode::demo, HueSnapshot::sample(FooterMotionPreview::sampleLightCount),
        std::make_unique<PreviewConnectionStorage>(), std::move(services.lightServices),
        std::move(services.pairingServices), std::move(services.discover), AutomaticReconnection::on,
        services.clock ? *services.clock : runtime::systemClock(),
        services.executor ? *services.executor : runtime::mainExecutor());
}

} // namespace

FooterMotionPreview::FooterMotionPreview(Services services, runtime::UserDefaults &defaults, QWidget *parent)
    : QWidget(parent)
    , m_store(makeDemoStore(services))
    , m_navigation(std::make_unique<PanelNavigation>())
{
    setObjectName(QStringLiteral("motion-preview"));
    setWindowTitle(tr("vantora — Motion examples"));
    setFixedWidth(width);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->setSizeConstraint(QLayout::SetFixedSize);
    m_controls = buildControls();
    root->addWidget(m_controls);
    m_divider = new QFrame;
    m_divider->setFrameShape(QFrame::HLine);
    m_divider->setFrameShadow(QFrame::Plain);
    root->addWidget(m_divider);

    // Made inside the window, whose runtime and pieces the panel takes as it is built.
    m_panel = new LightsPanel(*m_store, nullptr, *m_navigation, defaults, this);
    root->addWidget(m_panel);
    showSettings();

    m_replayTask = std::make_unique<ui::KeyedViewTask<int>>(this, m_replay,
                                                            [this](int replay) { return runReplay(replay); });
}

// The panel (a child) goes before the store it shows.
FooterMotionPreview::~FooterMotionPreview()
{
    m_replayTask.reset();
    delete m_panel;
}

QWidget *FooterMotionPreview::buildControls()
{
    auto *controls = new QWidget;
    auto *column = new QVBoxLayout(controls);
    column->setContentsMargins(controlsPadding, controlsPadding, controlsPadding, controlsPadding);
    column->setSpacing(controlsSpacing);

    auto *title = new ui::TextLabel(tr("Compare the footer animation"));
    title->setFont(ui::systemFont(17, QFont::DemiBold));
    ui::a11y::setHeading(title);
    column->addWidget(title);

    m_motions = new ui::SegmentedControl(tr("Animation"), ui::SegmentedControl::LabelVisibility::shown);
    for (const FooterPowerMotion motion : allFooterPowerMotions)
        m_motions->addSegment(rawValue(motion), static_cast<int>(motion));
    m_motions->setSelected(static_cast<int>(m_selection));
    connect(m_motions, &ui::SegmentedControl::idClicked, this,
            [this](int id) { select(static_cast<FooterPowerMotion>(id)); });
    column->addWidget(m_motions);

    m_description = new ui::TextLabel;
    m_description->setFont(ui::systemFont(12));
    m_description->setForeground(ui::systemColours::secondary());
    m_description->setWordWrap(true);
    column->addWidget(m_description);

    auto *actions = new QHBoxLayout;
    m_scrollCheckBox = new ui::PanelCheckBox(tr("Try by scrolling"));
    m_scrollCheckBox->setFont(ui::systemFont(12));
    connect(m_scrollCheckBox, &QCheckBox::toggled, this, &FooterMotionPreview::setUsesScroll);
    m_replayButton = new ui::PanelButton(tr("Replay"));
    m_replayButton->setFont(ui::systemFont(12));
    connect(m_replayButton, &QPushButton::clicked, this, &FooterMotionPreview::replay);
    m_showHideButton = new ui::PanelButton({});
    m_showHideButton->setFont(ui::systemFont(12));
    m_showHideButton->setFixedWidth(showHideWidth);
    connect(m_showHideButton, &QPushButton::clicked, this, &FooterMotionPreview::toggleVisible);
    actions->addWidget(m_scrollCheckBox);
    actions->addStretch(1);
    actions->addWidget(m_replayButton);
    actions->addWidget(m_showHideButton);
    column->addLayout(actions);
    return controls;
}

QAbstractButton *FooterMotionPreview::motionButton(FooterPowerMotion motion) const
{
    return m_motions->segment(static_cast<int>(motion));
}

void FooterMotionPreview::select(FooterPowerMotion motion)
{
    if (motion == m_selection)
        return;
    m_selection = motion;
    m_motions->setSelected(static_cast<int>(motion));
    showSettings();
    // With the button forced, play the new motion at once; while scrolling decides, the next
    // crossing of the threshold uses it.
    if (!m_useScroll) {
        ++m_replay;
        m_replayTask->setKey(m_replay);
    }
}

void FooterMotionPreview::setUsesScroll(bool useScroll)
{
    if (useScroll == m_useScroll)
        return;
    m_useScroll = useScroll;
    showSettings();
}

void FooterMotionPreview::replay()
{
    setUsesScroll(false);
    ++m_replay;
    m_replayTask->setKey(m_replay);
}

void FooterMotionPreview::toggleVisible()
{
    setUsesScroll(false);
    setVisibleOverride(!m_visible);
}

void FooterMotionPreview::setVisibleOverride(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    showSettings();
}

runtime::Task<void> FooterMotionPreview::runReplay(int)
{
    if (m_useScroll)
        co_return;
    setVisibleOverride(false);
    co_await ui::ViewRuntime::of(this).resolvedClock().sleepFor(replayPause);
    setVisibleOverride(true);
}

void FooterMotionPreview::showSettings()
{
    if (auto *segment = motionButton(m_selection))
        segment->setChecked(true);
    m_description->setText(description(m_selection));
    // Echoes back into setUsesScroll with the value it already has, which changes nothing.
    m_scrollCheckBox->setChecked(m_useScroll);
    m_showHideButton->setText(m_visible ? tr("Hide") : tr("Show"));
    ui::Environment &panelScope = ui::Environment::scope(m_panel);
    panelScope.set(footerMotionKey, m_selection);
    panelScope.set(footerPreviewVisibleKey, m_useScroll ? std::nullopt : std::optional<bool>(m_visible));
}

bool FooterMotionPreview::event(QEvent *event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange
        || (event->type() == ui::EnvironmentChangeEvent::eventType()
            && static_cast<ui::EnvironmentChangeEvent *>(event)->key() == ui::colorSchemeKey.name()))
        followScheme();
    return QWidget::event(event);
}

void FooterMotionPreview::followScheme()
{
    // The window follows the panel's scheme, which may come from the desktop's settings while
    // Qt's palette stays light: its own controls, and the ground the embedded panel lies on.
    ui::followScheme(*this);
    if (!m_divider)
        return;
    // A hairline, not a line in the text colour.
    const bool dark = ui::colorScheme(this) == ui::ColorScheme::Dark;
    QPalette line = m_divider->palette();
    line.setColor(QPalette::WindowText, dark ? ui::colours::white(0.12) : ui::colours::black(0.1));
    m_divider->setPalette(line);
}

void FooterMotionPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), ui::systemColours::windowBackground().resolve(ui::colorScheme(this)));
}

} // namespace vantora
