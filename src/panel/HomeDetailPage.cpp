#include "panel/HomeDetailPage.h"

#include "panel/HomeWiring.h"
#include "panel/LightRow.h"
#include "panel/LightsHomeView.h"
#include "panel/LightsPanel.h"
#include "panel/RoomSection.h"

#include "panel/PanelEnvironment.h"

#include "controls/LightDetailView.h"
#include "controls/LightToggle.h"
#include "store/HalvetStore.h"
#include "store/RoomFavourites.h"
#include "ui/FocusHolder.h"
#include "ui/Layers.h"

#include <QVBoxLayout>

namespace vantora {

HomeDetailPage::HomeDetailPage(HalvetStore &store, LightsPanel &panel, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_panel(panel)
    , m_layers(new ui::Layers(this))
    , m_home(nullptr)
{
    LightsHomeView::Actions actions{
        .dismissIssue = [this] { m_store.clearFailure(); },
        .openLight = [this](const HueLight &light) { m_panel.setSelectedLightID(light.id); },
        .adjustBrightness =
            [this](const HueLight &light, double brightness) {
                run(m_store.updateLight(light, LightChange{.brightness = brightness}));
            },
        .setLight = [this](const HueLight &light, bool on) { run(m_store.setLight(light, on)); },
        .allOn = [this] { run(m_store.setPower(std::nullopt, true)); },
        .setRoomPower = [this](const QString &roomID, bool on) { run(m_store.setPower(roomID, on)); },
        .setRoomBrightness =
            [this](const QString &roomID, double brightness) { run(m_store.setRoomBrightness(roomID, brightness)); },
        .toggleFavourite =
            [this](const QString &roomID) { m_panel.favourites().toggle(roomID, m_panel.favouritesKey()); },
        .allOff = [this] { run(m_store.setPower(std::nullopt, false)); },
        .refresh = [this] { m_panel.refresh(); },
    };
    // Made in place: the list reads the pieces and overrides of the panel's window as it is built.
    m_home = new LightsHomeView(std::move(actions), m_layers);
    m_layers->addLayer(m_home);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_layers);
    evaluate();
}

HomeDetailPage::~HomeDetailPage() = default;

void HomeDetailPage::evaluate()
{
    const StoreReading store = StoreReading::of(m_store);
    const bool lightSelected = m_panel.selectedLightID().has_value();
    m_home->apply({
        .snapshot = m_panel.visibleSnapshot(),
        .isWorking = homeWiring::isWorking(store),
        .updatingLightIDs = store.updatingLightIDs,
        .controlsLocked = homeWiring::controlsLocked(store),
        .hasVerifiedConnection = store.hasVerifiedConnection,
        .issue = store.unexpectedIssue,
        .errorMessage = homeWiring::listErrorMessage(store),
        .recoveryTitle = tr("Try again"),
        .notice = store.notice,
        .isPreview = store.isDemo,
        .showsArrivalPill = m_panel.arrivalPill().has_value(),
        .height = std::nullopt,
        .favouriteRoomIDs = m_panel.favourites().ids(m_panel.favouritesKey()),
        .allLightsAreOff = homeWiring::allLightsAreOff(store.snapshot),
    });
    // The list stays alive underneath, so its scroll position and open room wait for the way back.
    m_layers->setCovered(m_home, lightSelected);
    applyLightPage();
}

LightDetailView *HomeDetailPage::lightPage() const
{
    return m_lightPage;
}

void HomeDetailPage::applyLightPage()
{
    const HueSnapshot visible = m_panel.visibleSnapshot();
    const HueLight *selected = homeWiring::findLight(visible, m_panel.selectedLightID());
    if (m_lightPage && (!selected || m_lightPageID != selected->id)) {
        delete m_lightPage.data();
        if (m_panel.window()->isActiveWindow())
            focusRowOf(m_lightPageID);
    }
    if (!selected || m_lightPage)
        return;
    // Another light gets a page of its own, whose view state starts over.
    // Made in place, so it follows the store on the turns of the panel's window.
    m_lightPage = new LightDetailView(m_store, selected->id, m_layers);
    m_lightPageID = selected->id;
    connect(m_lightPage, &LightDetailView::backRequested, this, [this] { m_panel.setSelectedLightID(std::nullopt); });
    if (const PanelPieces pieces = ui::Environment::of(this).value(panelPiecesKey); pieces.settingsMenu)
        m_lightPage->setHeaderAccessory(pieces.settingsMenu(PanelPieces::MenuStyle::plain, nullptr));
    m_layers->addLayer(m_lightPage);
    m_lightPage->show();
    ui::focusFirstControl(*m_lightPage);
}

void HomeDetailPage::focusRowOf(const QString &lightID)
{
    // Back where the person came from: the row's button, else its switch.
    const HueSnapshot visible = m_panel.visibleSnapshot();
    const HueLight *light = homeWiring::findLight(visible, lightID);
    const RoomSection *section = light ? m_home->roomSection(light->roomID) : nullptr;
    const LightRow *row = section ? section->row(lightID) : nullptr;
    QWidget *target = row ? (row->button() ? static_cast<QWidget *>(row->button()) : row->toggle()) : nullptr;
    if (target && target->isEnabled() && target->isVisibleTo(m_home))
        target->setFocus(Qt::OtherFocusReason);
    else
        ui::focusFirstControl(*m_home);
}

void HomeDetailPage::run(runtime::Task<void> operation)
{
    m_panel.perform(std::move(operation));
}

} // namespace vantora
