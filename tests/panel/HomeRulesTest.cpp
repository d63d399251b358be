#include "panel/HomeWiring.h"
#include "panel/NoLightsFoundView.h"
#include "panel/PanelRules.h"
#include "panel/RoomEdgeOverlay.h"
#include "panel/RoomPresentation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantora;

namespace {

HueLight light(QString id, QString roomID, QString roomName, bool on, bool reachable,
               std::optional<double> brightness = 50)
{
    return {.id = std::move(id), .name = QStringLiteral("Lamp"), .roomID = std::move(roomID),
            .roomName = std::move(roomName), .isOn = on, .isReachable = reachable, .brightness = brightness};
}

QStringList ids(const std::vector<LightRoom> &rooms)
{
    QStringList result;
    for (const LightRoom &room : rooms)
        result << room.id;
    return result;
}

} // namespace

TEST(PanelRulesTest, PageHeightFollowsTheScreenUpTo542AndNeverBelowZero)
{
    const struct {
        const char *name;
        std::optional<int> screen;
        qreal expected;
    } rows[] = {
        {"short screen", 500, 452},
        {"tall screen", 700, 542},
        {"very tall screen", 900, 542},
        {"no screen", std::nullopt, 542},
        {"screen shorter than the margin", 20, 0},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(panelRules::pageHeight(row.screen), row.expected);
    }
}

TEST(PanelRulesTest, OnboardingWinsOverLightsAndAnEmptyListShowsTheNoLightsPage)
{
    const HueSnapshot home{{light("1", "a", "A", true, true)}};
    EXPECT_EQ(panelRules::choosePage(true, home), panelRules::Page::welcome);
    EXPECT_EQ(panelRules::choosePage(false, home), panelRules::Page::lights);
    EXPECT_EQ(panelRules::choosePage(false, HueSnapshot{}), panelRules::Page::noLights);
}

TEST(PanelRulesTest, FavouritesAreKeptPerBridgeWithFixedKeysForTheDemoAndNoBridge)
{
    const BridgeConnection connection{BridgeAddress{QStringLiteral("10.0.0.2")}, QStringLiteral("001788fffe000001"),
                                      QStringLiteral("Bridge"), QStringLiteral("key")};
    EXPECT_EQ(panelRules::favouritesKey(true, connection), "preview");
    EXPECT_EQ(panelRules::favouritesKey(false, connection), "001788fffe000001");
    EXPECT_EQ(panelRules::favouritesKey(false, std::nullopt), "unpaired");
}

TEST(NoLightsTextsTest, EachSituationNamesItselfAndOffersItsAction)
{
    using Fields = NoLightsFoundView::Fields;
    const auto fields = [](auto change) {
        Fields fields{.recoveryTitle = QStringLiteral("Try again")};
        change(fields);
        return fields;
    };
    const struct {
        const char *name;
        Fields fields;
        NoLightsFoundView::Texts expected;
    } rows[] = {
        {"lights hidden", fields([](Fields &f) { f.hasHiddenLights = true; }),
         {"Unavailable lights are hidden", "All your lights are currently unavailable.\nShow them to see their status.",
          "Show all lights", "Show all lights", "Show unavailable devices"}},
        {"loading", fields([](Fields &f) { f.isRefreshing = true; }),
         {"Finding your lights…", "Getting the latest lights from your Bridge.", "Refresh", "Refresh lights",
          "Refresh lights (Ctrl+R)"}},
        {"failed with a text", fields([](Fields &f) { f.errorMessage = QStringLiteral("The Bridge is offline."); }),
         {"Couldn’t load lights", "The Bridge is offline.", "Try again", "Try again", "Refresh lights (Ctrl+R)"}},
        {"failed without a text", fields([](Fields &f) { f.hasLoadError = true; }),
         {"Couldn’t load lights", "Try refreshing your lights again.", "Try again", "Try again",
          "Refresh lights (Ctrl+R)"}},
        {"none found", fields([](Fields &) {}),
         {"No lights found", "Add lights to this Bridge in the Hue\napp, then refresh.", "Refresh", "Refresh lights",
          "Refresh lights (Ctrl+R)"}},
        {"hidden lights with an error text", fields([](Fields &f) {
             f.hasHiddenLights = true;
             f.errorMessage = QStringLiteral("M");
         }),
         {"Unavailable lights are hidden", "M", "Show all lights", "Show all lights", "Show unavailable devices"}},
        {"loading after an error", fields([](Fields &f) {
             f.isRefreshing = true;
             f.errorMessage = QStringLiteral("M");
         }),
         {"Finding your lights…", "M", "Try again", "Try again", "Refresh lights (Ctrl+R)"}},
        {"an empty error text counts", fields([](Fields &f) { f.errorMessage = QString(); }),
         {"Couldn’t load lights", "", "Try again", "Try again", "Refresh lights (Ctrl+R)"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(NoLightsFoundView::texts(row.fields), row.expected);
    }
}

TEST(HomeWiringTest, ARefreshCountsAsWorkOnlyUntilTheConnectionIsVerified)
{
    StoreReading store{.isRefreshing = true};
    EXPECT_TRUE(homeWiring::isWorking(store));
    store.hasVerifiedConnection = true;
    EXPECT_FALSE(homeWiring::isWorking(store));
    EXPECT_FALSE(homeWiring::controlsLocked(store));
    store.updatingLightIDs = {QStringLiteral("1")};
    EXPECT_TRUE(homeWiring::isWorking(store));
    EXPECT_FALSE(homeWiring::controlsLocked(store));
    store = {.isChangingPower = true};
    EXPECT_TRUE(homeWiring::controlsLocked(store));
}

TEST(HomeWiringTest, OnlyAReachableLightThatIsOnKeepsTheHomeFromBeingOff)
{
    EXPECT_TRUE(homeWiring::allLightsAreOff(HueSnapshot{}));
    EXPECT_TRUE(homeWiring::allLightsAreOff(
        HueSnapshot{{light("1", "a", "A", false, true), light("2", "a", "A", true, false)}}));
    EXPECT_FALSE(homeWiring::allLightsAreOff(
        HueSnapshot{{light("1", "a", "A", false, true), light("2", "a", "A", true, true)}}));
}

TEST(HomeWiringTest, TheListShowsTheIssueOrTheErrorTextNeverBoth)
{
    StoreReading store{.errorMessage = QStringLiteral("Offline")};
    EXPECT_EQ(homeWiring::listErrorMessage(store), QStringLiteral("Offline"));
    store.unexpectedIssue = AppIssue(AppIssue::Operation::refresh, QStringLiteral("x"), {});
    EXPECT_EQ(homeWiring::listErrorMessage(store), std::nullopt);
}

TEST(HomeWiringTest, AFailedChangeShowsOnItsOwnLightsPageOnly)
{
    const LightChange change{.on = true};
    StoreReading store{.errorMessage = QStringLiteral("Failed"), .failedLightID = QStringLiteral("A"),
                       .failedLightChange = change};
    EXPECT_EQ(homeWiring::lightFailure(store, QStringLiteral("A")),
              (homeWiring::LightFailure{QStringLiteral("Failed"), change}));
    EXPECT_EQ(homeWiring::lightFailure(store, QStringLiteral("B")), homeWiring::LightFailure{});
    store.failedLightID.reset();
    store.failedLightChange.reset();
    EXPECT_EQ(homeWiring::lightFailure(store, QStringLiteral("B")),
              (homeWiring::LightFailure{QStringLiteral("Failed"), std::nullopt}));
}

TEST(RoomPresentationTest, RoomsSortByNameWithFavouritesFirstAndOtherLightsLast)
{
    const HueSnapshot home{{
        light("1", "unassigned", "Other lights", true, true),
        light("2", "r10", "Room 10", true, true),
        light("3", "r2", "room 2", true, true),
    }};
    EXPECT_EQ(ids(roomPresentation::orderedRooms(home, {})), QStringList({"r2", "r10", "unassigned"}));
    EXPECT_EQ(roomPresentation::roomCount(home), 2);
    EXPECT_EQ(ids(roomPresentation::orderedRooms(home, {"unassigned", "gone", "r10"})),
              QStringList({"unassigned", "r10", "r2"}));
}

TEST(RoomPresentationTest, CountsTakeTheSingularForExactlyOne)
{
    EXPECT_EQ(roomPresentation::roomText(1), "1 room");
    EXPECT_EQ(roomPresentation::roomText(0), "0 rooms");
    EXPECT_EQ(roomPresentation::lightText(1), "1 light");
    EXPECT_EQ(roomPresentation::lightText(3), "3 lights");
}

TEST(RoomPresentationTest, RoomControlsFollowTheRoomsLightsAndTheFavouriteLimit)
{
    const LightRoom mixed{"k", "Kitchen", {light("1", "k", "Kitchen", true, true), light("2", "k", "Kitchen", false, true)}};
    const LightRoom unreachable{"h", "Hall", {light("3", "h", "Hall", true, false)}};
    const LightRoom dark{"b", "Bath", {light("4", "b", "Bath", false, true), light("5", "b", "Bath", false, true)}};

    const roomPresentation::RoomContext twoFavourites{.favouriteRoomIDs = {"k", "x"}};
    const auto kitchen = roomPresentation::room(mixed, twoFavourites);
    EXPECT_TRUE(kitchen.isFavourite);
    EXPECT_FALSE(kitchen.favouriteLimitReached);
    EXPECT_EQ(kitchen.favouriteHelp, "Remove from favourites");
    EXPECT_EQ(kitchen.favouriteLabel, "Favourite Kitchen");
    EXPECT_TRUE(kitchen.anyLightOn);
    EXPECT_EQ(kitchen.powerLabel, "Kitchen lights");
    EXPECT_EQ(kitchen.powerHelp, "Turn all reachable lights in Kitchen off");

    const auto hall = roomPresentation::room(unreachable, twoFavourites);
    EXPECT_TRUE(hall.favouriteLimitReached);
    EXPECT_EQ(hall.favouriteHelp, "You can favourite two rooms. Unfavourite one first.");
    EXPECT_FALSE(hall.anyLightOn);
    EXPECT_TRUE(hall.powerDisabled);
    EXPECT_TRUE(hall.brightnessDisabled);

    const auto bath = roomPresentation::room(dark, {.favouriteRoomIDs = {"k"}});
    EXPECT_FALSE(bath.favouriteLimitReached);
    EXPECT_EQ(bath.favouriteHelp, "Pin this room to the top");
    EXPECT_FALSE(bath.brightnessDisabled);
    EXPECT_EQ(bath.shownBrightness, 0);
    EXPECT_EQ(bath.powerLabel, "Bath lights") << "the name stays whether the lights are on or off";
}

TEST(RoomPresentationTest, TheExpandedRoomShowsItsDraftOthersTheirMean)
{
    const LightRoom a{"a", "A", {light("1", "a", "A", true, true, 80)}};
    const LightRoom b{"b", "B", {light("2", "b", "B", true, true, 40), light("3", "b", "B", true, true, 60)}};
    const roomPresentation::RoomContext context{.expandedRoomID = QStringLiteral("a"), .brightnessDraft = 30};
    EXPECT_EQ(roomPresentation::room(a, context).shownBrightness, 30);
    EXPECT_EQ(roomPresentation::room(b, context).shownBrightness, 50);
}

TEST(RoomPresentationTest, HomePowerTurnsOnUnlessAReachableLightIsOn)
{
    const HueSnapshot home{{light("1", "a", "A", true, false), light("2", "a", "A", false, true)}};
    EXPECT_TRUE(roomPresentation::homeTurnsOn(std::nullopt, home));
    EXPECT_FALSE(roomPresentation::homeTurnsOn(false, home));
    EXPECT_FALSE(roomPresentation::homePowerDisabled(false, home));
    EXPECT_TRUE(roomPresentation::homePowerDisabled(true, home));
    EXPECT_TRUE(roomPresentation::homePowerDisabled(false, HueSnapshot{{light("1", "a", "A", true, false)}}));
}

TEST(RoomEdgeOverlayTest, TheSliderStandsByTheCardsTrailingEdgeInsideThePage)
{
    const struct {
        const char *name;
        qreal cardTop;
        qreal pageHeight;
        qreal expectedY;
    } rows[] = {
        {"card near the top", 10, 542, 92},
        {"card at the top", 0, 542, 82},
        {"card scrolled above the top", -200, 542, 82},
        {"card low on the page", 400, 542, 424},
        {"page too short for both", 10, 180, 62},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const QRectF card(16, row.cardTop, 408, 144);
        EXPECT_EQ(RoomEdgeOverlay::sliderCentre(card, row.pageHeight), QPointF(408, row.expectedY));
    }
}
