#include "panel/RoomSection.h"

#include "controls/RoomActionButton.h"
#include "controls/RoomBrightnessButton.h"
#include "panel/LightRow.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/ElidedLabel.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FocusHolder.h"
#include "ui/KeyedColumn.h"
#include "ui/LightCardSurface.h"
#include "ui/SystemFont.h"

#include <QBoxLayout>
#include <QPainter>

namespace vantora {

namespace {

constexpr int separatorInset = 80;

// The hairlines between the rows of a card, none after the last. They take no clicks and are
// not read out.
class RowSeparators final : public QWidget {
public:
    explicit RowSeparators(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        ui::a11y::setHidden(this);
    }

    void setRowCount(int count)
    {
        if (count == m_rows)
            return;
        m_rows = count;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QColor colour = ui::colorScheme(this) == ui::ColorScheme::Dark ? ui::colours::white(0.045)
                                                                              : ui::colours::grey(0.965);
        for (int row = 1; row < m_rows; ++row)
            painter.fillRect(separatorInset, row * LightRow::height - 1, width() - separatorInset, 1, colour);
    }

private:
    int m_rows = 0;
};

} // namespace

RoomSection::RoomSection(const Actions &actions, QWidget *parent)
    : QWidget(parent)
    , m_actions(actions)
    // Made inside the section, which the layouts below hand on: a widget made without a
    // parent starts as a window and keeps that bookkeeping for good.
    , m_title(new ui::ElidedLabel(this))
    , m_favourite(new controls::RoomActionButton(controls::RoomActionButton::Kind::Heart, this))
    , m_brightness(new controls::RoomBrightnessButton(this))
    , m_power(new controls::RoomActionButton(controls::RoomActionButton::Kind::Power, this))
    , m_card(new ui::LightCardSurface(cardCornerRadius, this))
    , m_rows(new ui::KeyedColumn<LightRow, QString>(this))
    , m_separators(new RowSeparators(m_card->content()))
    , m_cardRow(new QHBoxLayout)
{
    m_title->setFont(ui::systemFont(14, QFont::Medium));
    ui::a11y::setHeading(m_title);
    // The section holds the focus while one of its controls cannot.
    ui::makeFocusHolder(*this, QString());

    auto *titleHolder = new QWidget(this);
    titleHolder->setFixedHeight(titleRowHeight);
    auto *titleRow = new QHBoxLayout(titleHolder);
    titleRow->setContentsMargins(8, 0, 8, 0);
    titleRow->setSpacing(8);
    titleRow->addWidget(m_title, 1);
    titleRow->addSpacing(8);
    titleRow->addWidget(m_favourite);
    titleRow->addWidget(m_brightness);
    titleRow->addWidget(m_power);

    connect(m_favourite, &QAbstractButton::clicked, this, [this] { m_actions.toggleFavourite(m_fields.room.id); });
    connect(m_brightness, &QAbstractButton::clicked, this, [this] { m_actions.toggleExpanded(m_fields.room.id); });
    // Which way the room switches is decided by its lights at the moment of the press.
    connect(m_power, &QAbstractButton::clicked, this, [this] {
        m_actions.setRoomPower(m_fields.room.id, !roomPresentation::anyLightOn(m_fields.room.lights));
    });

    auto *rows = new QVBoxLayout(m_card->content());
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addWidget(m_rows);
    m_card->content()->installEventFilter(this);

    m_cardRow->setContentsMargins(0, 0, 0, 0);
    m_cardRow->addWidget(m_card);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    column->addWidget(titleHolder);
    column->addLayout(m_cardRow);
}

LightRow *RoomSection::row(const QString &lightID) const
{
    return m_rows->row(lightID);
}

bool RoomSection::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_card->content() && event->type() == QEvent::Resize) {
        m_separators->setGeometry(m_card->content()->rect());
        m_separators->raise();
    }
    return QWidget::eventFilter(watched, event);
}

QRect RoomSection::cardRect() const
{
    return m_card->geometry();
}

void RoomSection::apply(const Fields &fields)
{
    m_fields = fields;
    const roomPresentation::Room &shown = fields.shown;
    m_title->setText(fields.room.name);
    ui::a11y::setName(this, fields.room.name);

    m_favourite->setActive(shown.isFavourite);
    setControlEnabled(m_favourite, !shown.favouriteLimitReached);
    m_favourite->setLabel(shown.favouriteLabel);
    m_favourite->setHelp(shown.favouriteHelp);

    m_brightness->setRoomName(fields.room.name);
    m_brightness->setExpanded(shown.isExpanded);
    m_brightness->setBrightness(shown.shownBrightness);
    setControlEnabled(m_brightness, !shown.brightnessDisabled);

    m_power->setActive(shown.anyLightOn);
    setControlEnabled(m_power, !shown.powerDisabled);
    m_power->setLabel(shown.powerLabel);
    m_power->setHelp(shown.powerHelp);

    m_cardRow->setContentsMargins(0, 0, shown.isExpanded && fields.opensOverCard ? expandedCardGap : 0, 0);
    applyRows();
}

void RoomSection::setControlEnabled(QWidget *control, bool enabled)
{
    // A control disabled while it has the focus would pass it on to the next control, where
    // the user's next key press would act on something else (a press of the room's power
    // button would open a light's page): the section holds the focus until the control can
    // take it back.
    if (!enabled && control->hasFocus()) {
        m_focusHeldFor = control;
        setFocus(Qt::OtherFocusReason);
    }
    control->setEnabled(enabled);
    if (enabled && m_focusHeldFor == control) {
        m_focusHeldFor = nullptr;
        if (hasFocus())
            control->setFocus(Qt::OtherFocusReason);
    }
}

void RoomSection::applyRows()
{
    std::vector<std::pair<QString, LightRow::Fields>> rows;
    rows.reserve(m_fields.room.lights.size());
    for (const HueLight &light : m_fields.room.lights) {
        const bool updating = m_fields.updatingLightIDs.contains(light.id);
        rows.emplace_back(light.id, LightRow::Fields{
                                        .light = light,
                                        .busy = m_fields.controlsLocked || updating,
                                        .isUpdating = updating,
                                        .brightnessLocked = m_fields.controlsLocked,
                                        .adjustBrightness =
                                            [this](const HueLight &shown, double brightness) {
                                                m_actions.adjustBrightness(shown, brightness);
                                            },
                                        .open = [this](const HueLight &shown) { m_actions.openLight(shown); },
                                        .onChange = [this](const HueLight &shown,
                                                           bool on) { m_actions.setLight(shown, on); },
                                    });
    }
    m_rows->apply(rows);
    static_cast<RowSeparators *>(m_separators)->setRowCount(int(rows.size()));
}

} // namespace vantora
