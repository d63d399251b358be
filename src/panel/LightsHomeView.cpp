#include "panel/LightsHomeView.h"

#include "panel/HeaderRow.h"
#include "panel/PanelEnvironment.h"
#include "panel/PanelLogo.h"
#include "panel/PanelRules.h"
#include "panel/RoomSection.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/KeyedColumn.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QBoxLayout>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QtMath>

namespace vantora {

namespace {

using ui::colours::grey;
using ui::colours::grey255;

const ui::DynamicColor background{grey255(242), grey(0.13)};
const ui::DynamicColor textColour{grey255(41), grey(0.94)};
const ui::DynamicColor summaryColour{grey(0.37), grey(0.72)};

std::optional<qreal> screenVisibleHeight(const QWidget *page)
{
    QScreen *screen = page->screen() ? page->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return screen->availableGeometry().height();
}

// The list's lower edge fades into the page so rows do not end in a hard cut.
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
        QColor solid = background.resolve(ui::colorScheme(this));
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

} // namespace

LightsHomeView::LightsHomeView(Actions actions, QWidget *parent)
    : QWidget(parent)
    , m_actions(std::move(actions))
    , m_scroll(new QScrollArea)
    , m_fade(nullptr)
    , m_rooms(new ui::KeyedColumn<RoomSection, QString>)
    , m_footer(new QWidget)
    , m_summary(new ui::TextLabel)
{
    setFixedWidth(width);
    setFont(ui::systemFont(13));

    auto *header = new HeaderRow;
    header->setObjectName(QStringLiteral("lights-header"));
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(16, 16, 16, 0);
    headerLayout->setSpacing(16);
    headerLayout->addWidget(new PanelLogo(textColour));
    headerLayout->addStretch();

    m_rooms->setSpacing(40);
    auto *content = new QWidget;
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
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    m_scroll->setWidget(content);

    auto *listArea = new QWidget;
    auto *listLayout = new QVBoxLayout(listArea);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(m_scroll);
    m_fade = new BottomFade(listArea);

    m_summary->setFont(ui::systemFont(12, QFont::Medium));
    m_summary->setForeground(summaryColour);
    m_summary->setObjectName(QStringLiteral("home-summary"));

    m_footer->setObjectName(QStringLiteral("lights-footer"));
    auto *footerLayout = new QVBoxLayout(m_footer);
    footerLayout->setContentsMargins(16, 8, 16, 16);
    footerLayout->setSpacing(12);
    auto *summaryRow = new QHBoxLayout;
    summaryRow->addWidget(m_summary);
    summaryRow->addStretch();
    if (const PanelPieces pieces = ui::Environment::of(this).value(panelPiecesKey); pieces.settingsMenu)
        summaryRow->addWidget(pieces.settingsMenu(PanelPieces::MenuStyle::pill, this));
    footerLayout->addLayout(summaryRow);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(listArea, 1);
    column->addWidget(m_footer);
}

LightsHomeView::~LightsHomeView() = default;

RoomSection *LightsHomeView::roomSection(const QString &roomID) const
{
    return m_rooms->row(roomID);
}

void LightsHomeView::apply(const Fields &fields)
{
    m_fields = fields;
    setFixedHeight(qCeil(fields.height.value_or(panelRules::pageHeight(screenVisibleHeight(this)))));
    applyRooms();
    applyFooter();
}

void LightsHomeView::applyRooms()
{
    roomPresentation::RoomContext context{
        .favouriteRoomIDs = m_fields.favouriteRoomIDs,
        .expandedRoomID = std::nullopt,
        .brightnessDraft = std::nullopt,
        .controlsLocked = m_fields.controlsLocked,
        .updatingLightIDs = m_fields.updatingLightIDs,
    };
    std::vector<std::pair<QString, RoomSection::Fields>> sections;
    for (LightRoom &room : roomPresentation::orderedRooms(m_fields.snapshot, m_fields.favouriteRoomIDs)) {
        roomPresentation::Room shown = roomPresentation::room(room, context);
        const QString id = room.id;
        sections.emplace_back(id, RoomSection::Fields{std::move(room), std::move(shown), m_fields.controlsLocked,
                                                      m_fields.updatingLightIDs});
    }
    m_rooms->apply(sections);
}

void LightsHomeView::applyFooter()
{
    const int rooms = roomPresentation::roomCount(m_fields.snapshot);
    const int lights = int(m_fields.snapshot.lights.size());
    m_summary->setText(roomPresentation::roomText(rooms) + QStringLiteral(" · ") + roomPresentation::lightText(lights));
}

QMenu *LightsHomeView::makeContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    if (m_fields.isPreview)
        menu->addAction(tr("Preview · sample lights"))->setEnabled(false);
    QAction *refresh = menu->addAction(tr("Refresh lights"), this, [this] {
        if (m_actions.refresh)
            m_actions.refresh();
    });
    refresh->setEnabled(!m_fields.isWorking);
    menu->addSeparator();
    menu->addAction(tr("Quit vantora"), qApp, &QCoreApplication::quit);
    return menu;
}

bool LightsHomeView::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType())
        update();
    return QWidget::event(event);
}

void LightsHomeView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = makeContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void LightsHomeView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), background.resolve(ui::colorScheme(this)));
}

void LightsHomeView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeFade();
}

void LightsHomeView::placeFade()
{
    QWidget *area = m_fade->parentWidget();
    m_fade->setGeometry(0, area->height() - scrollFadeHeight, area->width(), scrollFadeHeight);
    m_fade->raise();
}

} // namespace vantora
