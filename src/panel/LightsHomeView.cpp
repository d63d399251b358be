#include "panel/LightsHomeView.h"

#include "panel/FooterPowerMotion.h"
#include "panel/HeaderRow.h"
#include "panel/LightsNotice.h"
#include "panel/PanelEnvironment.h"
#include "panel/PanelLogo.h"
#include "panel/PanelRules.h"
#include "panel/RoomEdgeOverlay.h"
#include "panel/StatusMessage.h"

#include "controls/LightToggleArtwork.h"
#include "controls/RoomBrightnessButton.h"
#include "controls/RoomBrightnessSlider.h"
#include "controls/RoomBrightnessStyle.h"
#include "ui/ApplicationQuit.h"
#include "ui/LightCardSurface.h"
#include "ui/Popover.h"

#include "controls/HomePillSurface.h"
#include "controls/HomePowerButton.h"
#include "controls/PlainTextButton.h"
#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FocusHolder.h"
#include "ui/FocusReturn.h"
#include "ui/KeyedColumn.h"
#include "ui/PanelScrollBar.h"
#include "ui/ScreenInfo.h"
#include "ui/ScrollArea.h"
#include "ui/ScrollThreshold.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"
#include "ui/Transaction.h"
#include "ui/Transition.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>

namespace vantora {

namespace {

using ui::colours::grey;
using ui::colours::grey255;

const ui::DynamicColor background{grey255(242), grey(0.13)};
const ui::DynamicColor textColour{grey255(41), grey(0.94)};
const ui::DynamicColor summaryColour{grey(0.37), grey(0.72)};

const ui::Animation expandAnimation = ui::Animation::spring(0.22, 0.9);
const ui::Animation collapseAnimation = ui::Animation::easeOut(0.14);
const ui::Animation reorderAnimation = ui::Animation::spring(0.3, 0.9);
const ui::Animation scrollToHeaderAnimation = ui::Animation::easeInOut(0.25);
const ui::Transition edgeOverlayTransition = ui::Transition::slide(QPointF(6, 0));

// The list's lower edge fades into the page, so rows do not end in a hard cut.
class BottomFade final : public QWidget {
public:
    explicit BottomFade(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QColor solid = background.resolve(ui::colorScheme(this));
        QColor clear = solid;
        clear.setAlphaF(0);
        QLinearGradient fade(0, 0, 0, height());
        fade.setColorAt(0, clear);
        fade.setColorAt(1, solid);
        QPainter(this).fillRect(rect(), fade);
    }
};

// The small dot between the counts of the summary.
class SummaryDot final : public QWidget {
public:
    explicit SummaryDot(QWidget *parent = nullptr)
        : QWidget(parent)
    {
        setFixedSize(2, 2);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor colour = ui::systemColours::secondary().resolve(ui::colorScheme(this));
        colour.setAlphaF(colour.alphaF() * 0.4);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(rect());
    }
};

// Keeps `widget`'s place in the layout while it steps back: invisible, inert and out of the
// accessibility tree.
void stepBack(QWidget *widget, bool back)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->setVisible(!back);
}

ui::TextLabel *summaryText()
{
    auto *label = new ui::TextLabel;
    label->setFont(ui::systemFont(12, QFont::Medium));
    label->setForeground(summaryColour);
    return label;
}

} // namespace

LightsHomeView::LightsHomeView(Actions actions, QWidget *parent)
    : QWidget(parent)
    , m_actions(std::move(actions))
    , m_column(new QVBoxLayout(this))
    , m_scroll(new ui::ScrollArea)
    , m_listArea(new QWidget)
    , m_fade(new BottomFade(m_listArea))
    , m_rooms(new ui::KeyedColumn<RoomSection, QString>(
          [this](const QString &, QWidget *owner) { return new RoomSection(m_roomActions, owner); }, nullptr))
    , m_headerPower(new controls::HomePowerButton(controls::HomePower::TurnOn))
    , m_footerColumn(new QVBoxLayout)
    , m_summary(new QWidget)
    , m_roomText(summaryText())
    , m_lightText(summaryText())
    , m_footerControls(new QHBoxLayout)
    , m_threshold(nullptr)
{
    m_roomActions = {
        .toggleFavourite = [this](const QString &roomID) { m_actions.toggleFavourite(roomID); },
        .toggleExpanded = [this](const QString &roomID) { toggleExpandedRoom(roomID); },
        .setRoomPower = [this](const QString &roomID, bool on) { m_actions.setRoomPower(roomID, on); },
        .openLight = [this](const HueLight &light) { m_actions.openLight(light); },
        .adjustBrightness =
            [this](const HueLight &light, double brightness) { m_actions.adjustBrightness(light, brightness); },
        .setLight = [this](const HueLight &light, bool on) { m_actions.setLight(light, on); },
    };
    setFixedWidth(width);
    setFont(ui::systemFont(13));
    ui::makeFocusHolder(*this, tr("Lights"));

    auto *header = new HeaderRow;
    header->setObjectName(QStringLiteral("lights-header"));
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(16, 16, 16, 0);
    headerLayout->setSpacing(16);
    headerLayout->addWidget(new PanelLogo(textColour));
    headerLayout->addStretch();
    headerLayout->addWidget(m_headerPower);
    m_headerPower->setObjectName(QStringLiteral("header-home-power"));
    connect(m_headerPower, &QAbstractButton::clicked, this, [this] { pressHomePower(); });

    m_rooms->setSpacing(40);
    auto *content = new QWidget;
    content->setAutoFillBackground(false);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);
    contentLayout->addWidget(header);
    auto *roomsHolder = new QVBoxLayout;
    roomsHolder->setContentsMargins(16, 32, 16, 64);
    roomsHolder->addWidget(m_rooms);
    contentLayout->addLayout(roomsHolder);
    contentLayout->addStretch();

    m_scroll->setObjectName(QStringLiteral("lights-scroll-view"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidget(content);
    ui::usePanelScrollBar(*m_scroll);
    m_threshold = new ui::ScrollThreshold(m_scroll, headerScrollThreshold, [this](bool away) { headerScrolled(away); });
    // The edge control stands by its card, wherever the list moves the card.
    connect(m_scroll->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeEdgeOverlay(); });

    auto *listLayout = new QVBoxLayout(m_listArea);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(m_scroll);
    m_listArea->installEventFilter(this);

    auto *summaryLayout = new QHBoxLayout(m_summary);
    summaryLayout->setContentsMargins(0, 0, 0, 0);
    summaryLayout->setSpacing(8);
    summaryLayout->addWidget(m_roomText);
    summaryLayout->addWidget(new SummaryDot, 0, Qt::AlignVCenter);
    summaryLayout->addWidget(m_lightText);
    m_summary->setObjectName(QStringLiteral("home-summary"));

    // The pills stand 8 apart as drawn; each keeps room around it for its shadows.
    const QMargins shadows = controls::HomePillSurface::shadowMargins();
    m_footerControls->setSpacing(8 - shadows.left() - shadows.right());
    if (const PanelPieces pieces = ui::Environment::of(this).value(panelPiecesKey); pieces.settingsMenu) {
        m_footerMenu = pieces.settingsMenu(PanelPieces::MenuStyle::pill, this);
        m_footerControls->addWidget(m_footerMenu);
    }

    auto *footer = new QWidget;
    footer->setObjectName(QStringLiteral("lights-footer"));
    m_footerColumn->setParent(nullptr);
    footer->setLayout(m_footerColumn);
    m_footerColumn->setContentsMargins(16, 8, 16, 16);
    m_footerColumn->setSpacing(12);
    auto *summaryRow = new QHBoxLayout;
    summaryRow->addWidget(m_summary);
    summaryRow->addStretch();
    summaryRow->addLayout(m_footerControls);
    m_footerColumn->addLayout(summaryRow);

    m_column->setContentsMargins(0, 0, 0, 0);
    m_column->setSpacing(0);
    m_column->addWidget(m_listArea, 1);
    m_column->addWidget(footer);

    ui::installContextMenu(this, [this] { return menuEntries(); });
    followFooterOverride();
}

LightsHomeView::~LightsHomeView() = default;

RoomEdgeOverlay *LightsHomeView::edgeOverlay() const
{
    return m_edgeOverlay;
}

ui::Popover *LightsHomeView::brightnessPopover() const
{
    return m_popover;
}

RoomSection *LightsHomeView::roomSection(const QString &roomID) const
{
    return m_rooms->row(roomID);
}

void LightsHomeView::apply(const Fields &fields)
{
    const bool first = !m_applied;
    const std::optional<AppIssue> issueBefore = m_fields.issue;
    const bool favouritesGrew = !first && fields.favouriteRoomIDs.size() > m_fields.favouriteRoomIDs.size();
    const bool favouritesChanged = !first && fields.favouriteRoomIDs != m_fields.favouriteRoomIDs;
    m_fields = fields;
    m_applied = true;

    setFixedHeight(qCeil(fields.height.value_or(panelRules::pageHeight(ui::screenInfo::visibleHeight(this)))));
    applyIssue(first ? std::nullopt : issueBefore);
    applyRooms(favouritesChanged);
    applyBrightnessControl();
    applyMessageLine();
    applySummary();
    applyHomePower();
    if (favouritesGrew)
        m_scroll->animateTo(0, scrollToHeaderAnimation);
}

void LightsHomeView::applyIssue(const std::optional<AppIssue> &before)
{
    if (m_issueNotice && m_fields.issue == before)
        return;
    delete m_issueNotice.data();
    const PanelPieces pieces = ui::Environment::of(this).value(panelPiecesKey);
    if (!m_fields.issue || !pieces.issueNotice)
        return;
    m_issueNotice = pieces.issueNotice(*m_fields.issue, [this] { m_actions.dismissIssue(); }, this);
    m_column->insertWidget(0, m_issueNotice);
}

void LightsHomeView::applyRooms(bool favouritesChanged)
{
    const bool opensOverCard = controls::roomBrightnessStyle(this) == controls::RoomBrightnessStyle::edge;
    const roomPresentation::RoomContext context{
        .favouriteRoomIDs = m_fields.favouriteRoomIDs,
        .expandedRoomID = m_expandedRoomID,
        .brightnessDraft = m_roomBrightnessDraft,
        .controlsLocked = m_fields.controlsLocked,
        .updatingLightIDs = m_fields.updatingLightIDs,
    };
    std::vector<std::pair<QString, RoomSection::Fields>> sections;
    for (LightRoom &room : roomPresentation::orderedRooms(m_fields.snapshot, m_fields.favouriteRoomIDs)) {
        roomPresentation::Room shown = roomPresentation::room(room, context);
        QString id = room.id;
        sections.emplace_back(std::move(id),
                              RoomSection::Fields{std::move(room), std::move(shown), opensOverCard,
                                                  m_fields.controlsLocked, m_fields.updatingLightIDs});
    }
    // A new order of favourites moves the rooms to their places; other updates place them at once.
    const ui::Animation animation =
        favouritesChanged && !ui::reduceMotion(this) ? reorderAnimation : ui::Animation::none();
    ui::withAnimation(animation, [&] { m_rooms->apply(sections); });
}

void LightsHomeView::applyMessageLine()
{
    MessageLine line = MessageLine::none;
    if (m_fields.errorMessage)
        line = MessageLine::error;
    else if (m_fields.notice)
        line = MessageLine::notice;

    if (line != m_messageLine) {
        delete m_message.data();
        m_messageLine = line;
        if (line == MessageLine::error) {
            auto *holder = new QWidget;
            auto *row = new QHBoxLayout(holder);
            row->setContentsMargins(0, 0, 0, 0);
            row->setSpacing(12);
            row->addWidget(new StatusMessage(*m_fields.errorMessage, StatusMessage::Kind::error), 1);
            auto *retry = new controls::PlainTextButton(m_fields.recoveryTitle);
            retry->setFont(ui::systemFont(12, QFont::Medium));
            retry->setForeground(textColour);
            retry->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            connect(retry, &QAbstractButton::clicked, this, [this] { m_actions.refresh(); });
            row->addWidget(retry);
            m_retry = retry;
            m_message = holder;
        } else if (line == MessageLine::notice) {
            m_message = new LightsNotice(*m_fields.notice);
        }
        if (m_message)
            m_footerColumn->insertWidget(0, m_message);
    }
    if (line == MessageLine::error) {
        m_message->findChild<StatusMessage *>()->setMessage(*m_fields.errorMessage);
        m_retry->setText(m_fields.recoveryTitle);
        // Disabled while it has the focus, the button would pass it on to the next control:
        // the page holds the focus until the button can take it back.
        if (m_fields.isWorking && m_retry->hasFocus()) {
            m_focusHeldFor = m_retry;
            setFocus(Qt::OtherFocusReason);
        }
        m_retry->setEnabled(!m_fields.isWorking);
        if (!m_fields.isWorking && m_focusHeldFor == m_retry) {
            m_focusHeldFor = nullptr;
            if (hasFocus())
                m_retry->setFocus(Qt::OtherFocusReason);
        }
    } else if (line == MessageLine::notice) {
        static_cast<LightsNotice *>(m_message.data())->setMessage(*m_fields.notice);
    }
}

void LightsHomeView::applySummary()
{
    const QString rooms = roomPresentation::roomText(roomPresentation::roomCount(m_fields.snapshot));
    const QString lights = roomPresentation::lightText(int(m_fields.snapshot.lights.size()));
    m_roomText->setText(rooms);
    m_lightText->setText(lights);
    ui::a11y::setCombined(m_summary, rooms + QStringLiteral(", ") + lights);
    // The arrival pill stands at the bottom edge meanwhile.
    stepBack(m_summary, m_fields.showsArrivalPill);
}

void LightsHomeView::applyHomePower()
{
    const controls::HomePower power = roomPresentation::homeTurnsOn(m_fields.allLightsAreOff, m_fields.snapshot)
        ? controls::HomePower::TurnOn
        : controls::HomePower::TurnOff;
    const bool disabled = roomPresentation::homePowerDisabled(m_fields.controlsLocked, m_fields.snapshot);
    for (controls::HomePowerButton *button : {m_headerPower, m_footerPower.data()}) {
        if (!button)
            continue;
        button->setPower(power);
        // A button disabled while it has the focus would pass it on to the next control,
        // where the user's next key press would act on something else: the page holds the
        // focus until the button can take it back.
        if (disabled && button->hasFocus()) {
            m_focusHeldFor = button;
            setFocus(Qt::OtherFocusReason);
        }
        button->setEnabled(!disabled);
        if (!disabled && m_focusHeldFor == button) {
            m_focusHeldFor = nullptr;
            if (hasFocus())
                button->setFocus(Qt::OtherFocusReason);
        }
    }
    if (m_footerPower)
        stepBack(m_footerPower, m_fields.showsArrivalPill);
    // The footer copy stands for the header copy, but only while it can be reached: under
    // the arrival pill it steps back, and the header copy must then be there.
    const bool footerStandsIn = m_footerPower && !m_fields.showsArrivalPill;
    ui::a11y::setHidden(m_headerPower, footerStandsIn ? ui::a11y::Visibility::Hidden : ui::a11y::Visibility::Shown);
    // Out of the tree, out of the Tab chain too: a reader would land on nothing there.
    m_headerPower->setFocusPolicy(footerStandsIn ? Qt::NoFocus : Qt::TabFocus);
}

void LightsHomeView::pressHomePower()
{
    // Decided at the moment of the press, from what the page shows now.
    if (roomPresentation::homeTurnsOn(m_fields.allLightsAreOff, m_fields.snapshot))
        m_actions.allOn();
    else
        m_actions.allOff();
}

void LightsHomeView::toggleExpandedRoom(const QString &roomID)
{
    const ui::Animation animation = ui::reduceMotion(this) ? ui::Animation::none() : expandAnimation;
    ui::withAnimation(animation, [&] {
        setExpandedRoom(m_expandedRoomID == roomID ? std::nullopt : std::optional<QString>(roomID));
    });
}

void LightsHomeView::collapseExpandedRoom()
{
    const ui::Animation animation = ui::reduceMotion(this) ? ui::Animation::none() : collapseAnimation;
    ui::withAnimation(animation, [&] { setExpandedRoom(std::nullopt); });
}

void LightsHomeView::setExpandedRoom(std::optional<QString> roomID)
{
    if (roomID == m_expandedRoomID)
        return;
    m_expandedRoomID = std::move(roomID);
    // A draft belongs to the room it was made in.
    m_roomBrightnessDraft.reset();
    applyRooms(false);
    applyBrightnessControl();
}

void LightsHomeView::roomBrightnessRequested(const QString &roomID, double brightness)
{
    if (m_expandedRoomID == roomID)
        m_roomBrightnessDraft = brightness;
    m_actions.setRoomBrightness(roomID, brightness);
    applyRooms(false);
}

void LightsHomeView::applyBrightnessControl()
{
    const std::vector<LightRoom> rooms = m_fields.snapshot.rooms();
    const LightRoom *room = nullptr;
    if (m_expandedRoomID) {
        const auto found = std::find_if(rooms.begin(), rooms.end(),
                                        [&](const LightRoom &candidate) { return candidate.id == *m_expandedRoomID; });
        if (found != rooms.end() && roomSection(found->id))
            room = &*found;
    }
    const bool edge = controls::roomBrightnessStyle(this) == controls::RoomBrightnessStyle::edge;
    applyEdgeOverlay(edge ? room : nullptr);
    applyPopover(edge ? nullptr : room);
}

void LightsHomeView::applyEdgeOverlay(const LightRoom *room)
{
    if (m_edgeOverlay && (!room || m_edgeOverlay->roomID() != room->id)) {
        RoomEdgeOverlay *leaving = m_edgeOverlay;
        m_edgeOverlay = nullptr;
        // On its way out it asks nothing more: the focus leaving it closes no room opened since.
        disconnect(leaving, &RoomEdgeOverlay::closeRequested, this, nullptr);
        giveFocusBackFrom(*leaving, ui::FocusStep::Opener);
        ui::transitionOut(leaving, edgeOverlayTransition, ui::Transaction::current(), ui::Departure::Delete);
    }
    if (!room)
        return;
    const bool arriving = !m_edgeOverlay;
    if (arriving) {
        m_edgeOverlay = new RoomEdgeOverlay(room->id, m_scroll, this);
        m_edgeOverlay->hide();
        const QString roomID = room->id;
        connect(m_edgeOverlay, &RoomEdgeOverlay::closeRequested, this, [this](ui::FocusStep step) {
            giveFocusBackFrom(*m_edgeOverlay, step);
            collapseExpandedRoom();
        });
        connect(m_edgeOverlay, &RoomEdgeOverlay::brightnessRequested, this,
                [this, roomID](double brightness) { roomBrightnessRequested(roomID, brightness); });
    }
    placeEdgeOverlay();
    if (arriving) {
        ui::transitionIn(m_edgeOverlay, edgeOverlayTransition, ui::Transaction::current());
        m_edgeOverlay->raise();
        // Escape must reach the control, wherever the focus was: it goes to the slider.
        ui::focusFirstControl(*m_edgeOverlay);
    }
}

void LightsHomeView::giveFocusBackFrom(const RoomEdgeOverlay &overlay, ui::FocusStep step)
{
    RoomSection *opener = roomSection(overlay.roomID());
    ui::giveFocusBack(overlay, opener ? opener->brightnessButton() : nullptr, *this, step);
}

void LightsHomeView::placeEdgeOverlay()
{
    if (!m_edgeOverlay)
        return;
    RoomSection *section = roomSection(m_edgeOverlay->roomID());
    if (!section)
        return;
    m_scroll->widget()->layout()->activate();
    // The card with the gap it leaves for the control, which the control stands in.
    const QRect cardRect = section->cardRect();
    const QRectF card(section->mapTo(this, QPoint(0, cardRect.top())), QSizeF(section->width(), cardRect.height()));
    const QSet<QString> &updating = m_fields.updatingLightIDs;
    const LightRoom &room = section->fields().room;
    const bool roomUpdating = std::any_of(room.lights.begin(), room.lights.end(),
                                          [&](const HueLight &light) { return updating.contains(light.id); });
    m_edgeOverlay->apply(room, card, m_fields.controlsLocked, roomUpdating);
}

void LightsHomeView::applyPopover(const LightRoom *room)
{
    if (m_popover && (!room || m_popoverRoomID != room->id)) {
        m_popover->withdraw();
        m_popover->deleteLater();
        m_popover = nullptr;
    }
    if (!room)
        return;
    if (!m_popover) {
        RoomSection *section = roomSection(room->id);
        m_popoverRoomID = room->id;
        m_popover = new ui::Popover(section->brightnessButton());
        m_popoverSlider = new controls::RoomBrightnessSlider(controls::roomBrightnessStyle(this),
                                                             ui::Environment::of(this).value(toggleAppearanceKey));
        m_popover->setContent(m_popoverSlider);
        const QString roomID = room->id;
        connect(m_popoverSlider, &controls::RoomBrightnessSlider::changeRequested, this,
                [this, roomID](double brightness) { roomBrightnessRequested(roomID, brightness); });
        // Closed by the user (a click elsewhere, Escape): the room is no longer open.
        connect(m_popover, &ui::Popover::dismissed, this, [this, roomID] {
            if (m_expandedRoomID == roomID)
                setExpandedRoom(std::nullopt);
        });
        m_popover->present();
    }
    const bool roomUpdating = std::any_of(room->lights.begin(), room->lights.end(), [&](const HueLight &light) {
        return m_fields.updatingLightIDs.contains(light.id);
    });
    m_popoverSlider->setRoom(*room);
    m_popoverSlider->setLocked(m_fields.controlsLocked);
    m_popoverSlider->setUpdating(roomUpdating);
}

void LightsHomeView::headerScrolled(bool away)
{
    m_headerHasScrolledAway = away;
    if (!ui::Environment::of(this).value(footerPreviewVisibleKey))
        setFooterPowerShown(away);
}

void LightsHomeView::followFooterOverride()
{
    const std::optional<bool> override = ui::Environment::of(this).value(footerPreviewVisibleKey);
    setFooterPowerShown(override.value_or(m_headerHasScrolledAway));
}

void LightsHomeView::setFooterPowerShown(bool shown)
{
    if (shown == showsFooterPower())
        return;
    const FooterPowerMotion motion = ui::Environment::of(this).value(footerMotionKey);
    const bool reduce = ui::reduceMotion(this);
    const ui::Animation animation = footerPowerAnimation(motion, shown, reduce);
    const ui::Transition transition =
        ui::Transition::slide(QPointF(slideOffset(motion), 0), ui::Transition::UnderReduceMotion::Identity);
    if (shown) {
        m_footerPower = new controls::HomePowerButton(controls::HomePower::TurnOn);
        m_footerPower->setObjectName(QStringLiteral("footer-home-power"));
        connect(m_footerPower, &QAbstractButton::clicked, this, [this] { pressHomePower(); });
        m_footerPower->hide();
        m_footerControls->addWidget(m_footerPower);
        // Made later than the settings pill on its left, it would come first in the Tab order.
        if (m_footerMenu)
            QWidget::setTabOrder(m_footerMenu, m_footerPower);
        applyHomePower();
        if (!m_fields.showsArrivalPill)
            ui::transitionIn(m_footerPower, transition, animation);
    } else {
        controls::HomePowerButton *leaving = m_footerPower;
        m_footerPower = nullptr;
        ui::transitionOut(leaving, transition, animation, ui::Departure::Delete);
        applyHomePower();
    }
}

std::vector<ui::MenuEntry> LightsHomeView::menuEntries() const
{
    std::vector<ui::MenuEntry> entries;
    if (m_fields.isPreview)
        entries.push_back(ui::MenuEntry::label(tr("Preview · sample lights")));
    entries.push_back(ui::MenuEntry::item(tr("Refresh lights"), m_actions.refresh, !m_fields.isWorking));
    entries.push_back(ui::MenuEntry::separator());
    entries.push_back(ui::MenuEntry::item(tr("Quit vantora"), ui::quitApplication));
    return entries;
}

void LightsHomeView::followScheme()
{
    const QColor text = textColour.resolve(ui::colorScheme(this));
    QPalette adjusted = palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        adjusted.setColor(role, text);
    if (adjusted != palette())
        setPalette(adjusted);
    update();
}

bool LightsHomeView::event(QEvent *event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange)
        followScheme();
    if (event->type() == ui::EnvironmentChangeEvent::eventType()) {
        followScheme();
        if (static_cast<ui::EnvironmentChangeEvent *>(event)->key() == footerPreviewVisibleKey.name())
            followFooterOverride();
    }
    return QWidget::event(event);
}

void LightsHomeView::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the open edge control, wherever in the list the focus went meanwhile.
    if (event->key() == Qt::Key_Escape && m_edgeOverlay) {
        collapseExpandedRoom();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool LightsHomeView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_listArea && event->type() == QEvent::Resize)
        placeFade();
    return QWidget::eventFilter(watched, event);
}

void LightsHomeView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), background.resolve(ui::colorScheme(this)));
}

void LightsHomeView::placeFade()
{
    placeEdgeOverlay();
    m_fade->setGeometry(0, m_listArea->height() - scrollFadeHeight, m_listArea->width(), scrollFadeHeight);
    m_fade->raise();
}

} // namespace vantora
