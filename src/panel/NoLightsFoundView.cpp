#include "panel/NoLightsFoundView.h"

#include "panel/HeaderRow.h"
#include "panel/PanelEnvironment.h"
#include "panel/PanelLogo.h"

#include "ui/ApplicationQuit.h"
#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FocusHolder.h"
#include "ui/LightsActionButton.h"
#include "ui/PlainToolTip.h"
#include "ui/SvgImage.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"
#include "ui/WrappingText.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QPainter>
#include <QtMath>

namespace vantora {

namespace {

using ui::colours::grey;
using ui::colours::grey255;

constexpr int bulbSide = 120;
constexpr int messageWidth = 296;

const ui::DynamicColor titleColour{grey255(41), ui::colours::white()};
const ui::DynamicColor messageColour{grey(0.32), grey(0.76)};
const ui::DynamicColor background{grey(0.95), grey(0.13)};

// The large bulb above the texts; decoration only.
class EmptyStateBulb final : public QWidget {
public:
    explicit EmptyStateBulb(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(bulbSide, bulbSide);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        ui::SvgImage(ui::Image::EmptyStateBulb).paint(painter, rect());
    }
};

void stepBack(QWidget *widget, bool back)
{
    // Kept in the layout while invisible, so nothing moves when it comes back.
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    widget->setVisible(!back);
}

} // namespace

NoLightsFoundView::NoLightsFoundView(const Fields &fields, std::function<void()> refresh, QWidget *parent)
    : QWidget(parent)
    , m_refresh(std::move(refresh))
    , m_title(new ui::TextLabel)
    , m_message(new ui::WrappingText)
    , m_summary(new ui::TextLabel(tr("0 rooms · 0 lights")))
    , m_action(new ui::LightsActionButton({}, ui::LightsActionButtonStyle{grey(0.9)}))
{
    setFixedWidth(width);
    setFont(ui::systemFont(13));

    auto *header = new HeaderRow;
    auto *headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(24, 24, 16, 0);
    headerLayout->addWidget(new PanelLogo(titleColour));
    headerLayout->addStretch();

    m_title->setFont(ui::systemFont(16, QFont::Medium));
    m_title->setForeground(titleColour);
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setMinimumHeight(20);
    ui::a11y::setHeading(m_title);
    // The page holds the focus while its action cannot.
    ui::makeFocusHolder(*this, QString());

    m_message->setFont(ui::systemFont(14));
    m_message->setForeground(messageColour);
    m_message->setAlignment(Qt::AlignHCenter);
    m_message->setLineSpacing(3);
    m_message->setFixedWidth(messageWidth);
    m_message->setMinimumHeight(40);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(12);
    texts->setContentsMargins(0, 19, 0, 0);
    texts->addWidget(m_title, 0, Qt::AlignHCenter);
    texts->addWidget(m_message, 0, Qt::AlignHCenter);

    m_summary->setFont(ui::systemFont(12, QFont::Medium));
    m_summary->setForeground(ui::systemColours::secondary());
    m_action->setFont(ui::systemFont(13, QFont::Medium));
    connect(m_action, &QAbstractButton::clicked, this, [this] {
        if (m_refresh)
            m_refresh();
    });

    auto *footer = new QHBoxLayout;
    footer->setSpacing(12);
    footer->setContentsMargins(16, 0, 16, 16);
    footer->addWidget(m_summary);
    footer->addStretch();
    footer->addWidget(m_action);
    if (const PanelPieces pieces = ui::Environment::of(this).value(panelPiecesKey); pieces.settingsMenu)
        footer->addWidget(pieces.settingsMenu(PanelPieces::MenuStyle::pill, this));

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(header);
    column->addSpacing(76);
    column->addWidget(new EmptyStateBulb(this), 0, Qt::AlignHCenter);
    column->addLayout(texts);
    column->addSpacing(32);
    column->addStretch();
    column->addLayout(footer);

    ui::installContextMenu(this, [this] { return menuEntries(); });
    apply(fields);
}

NoLightsFoundView::Texts NoLightsFoundView::texts(const Fields &fields)
{
    const bool failed = fields.errorMessage || fields.hasLoadError;
    Texts texts;
    if (fields.hasHiddenLights)
        texts.title = tr("Unavailable lights are hidden");
    else if (fields.isRefreshing)
        texts.title = tr("Finding your lights…");
    else if (failed)
        texts.title = tr("Couldn’t load lights");
    else
        texts.title = tr("No lights found");

    if (fields.errorMessage)
        texts.message = *fields.errorMessage;
    else if (fields.hasHiddenLights)
        texts.message = tr("All your lights are currently unavailable.\nShow them to see their status.");
    else if (fields.isRefreshing)
        texts.message = tr("Getting the latest lights from your Bridge.");
    else if (fields.hasLoadError)
        texts.message = tr("Try refreshing your lights again.");
    else
        texts.message = tr("Add lights to this Bridge in the Hue\napp, then refresh.");

    if (fields.hasHiddenLights) {
        texts.actionLabel = tr("Show all lights");
        texts.actionAccessibleName = texts.actionLabel;
    } else if (failed) {
        texts.actionLabel = fields.recoveryTitle;
        texts.actionAccessibleName = fields.recoveryTitle;
    } else {
        texts.actionLabel = tr("Refresh");
        texts.actionAccessibleName = tr("Refresh lights");
    }
    texts.actionHelp = fields.hasHiddenLights ? tr("Show unavailable devices") : tr("Refresh lights (Ctrl+R)");
    return texts;
}

void NoLightsFoundView::apply(const Fields &fields)
{
    m_fields = fields;
    const Texts words = texts(fields);
    // A failure that comes while the page shows is read out wherever the focus is, as each
    // step of pairing is; a page that opens on it is read with the focus.
    const bool failed = (fields.errorMessage || fields.hasLoadError) && !fields.isRefreshing && !fields.hasHiddenLights;
    if (failed && isVisible() && m_title->text() != words.title)
        ui::a11y::announce(words.title + QStringLiteral(". ") + QString(words.message).replace(u'\n', u' '));
    m_title->setText(words.title);
    m_message->setText(words.message);
    m_action->setText(words.actionLabel);
    ui::a11y::setName(this, words.title);
    m_action->setAccessibleName(words.actionAccessibleName);
    ui::setPlainToolTip(*m_action, words.actionHelp);
    // An action disabled while it has the focus would pass it on to the next control (the
    // settings menu), where the user's next key press would act on something else: the page
    // holds the focus until the action can take it back.
    const bool actionable = !fields.isRefreshing && !fields.showsArrivalPill;
    const bool holdsFocus = hasFocus();
    if (!actionable && m_action->hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_action->setEnabled(actionable);
    if (actionable && holdsFocus)
        m_action->setFocus(Qt::OtherFocusReason);
    m_action->updateGeometry();
    stepBack(m_summary, fields.showsArrivalPill);
    stepBack(m_action, fields.showsArrivalPill);
    setMinimumHeight(qCeil(fields.panelHeight.value_or(defaultHeight)));
}

std::vector<ui::MenuEntry> NoLightsFoundView::menuEntries() const
{
    return {
        ui::MenuEntry::item(tr("Refresh lights"), m_refresh, !m_fields.isRefreshing),
        ui::MenuEntry::separator(),
        ui::MenuEntry::item(tr("Quit vantora"), ui::quitApplication),
    };
}

bool NoLightsFoundView::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType())
        update();
    return QWidget::event(event);
}

void NoLightsFoundView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), background.resolve(ui::colorScheme(this)));
}

} // namespace vantora
