#include "panel/HomeDetailPage.h"

#include "panel/HomeWiring.h"
#include "panel/LightsHomeView.h"
#include "panel/LightsPanel.h"

#include "store/HalvetStore.h"
#include "store/RoomFavourites.h"
#include "ui/ViewRuntime.h"

#include <QVBoxLayout>

namespace vantora {

HomeDetailPage::HomeDetailPage(HalvetStore &store, LightsPanel &panel, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_panel(panel)
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
    m_home = new LightsHomeView(std::move(actions), this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_home);
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
    m_home->setVisible(!lightSelected);
}

runtime::TaskScope &HomeDetailPage::tasks()
{
    if (!m_tasks)
        m_tasks = std::make_unique<runtime::TaskScope>(ui::ViewRuntime::of(this).resolvedExecutor());
    return *m_tasks;
}

void HomeDetailPage::run(runtime::Task<void> operation)
{
    tasks().spawn(std::move(operation));
}

} // namespace vantora
