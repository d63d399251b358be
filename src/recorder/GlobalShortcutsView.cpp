#include "recorder/GlobalShortcutsView.h"

#include "recorder/ApplicationShortcuts.h"
#include "recorder/RecorderAlerts.h"
#include "recorder/RecorderServices.h"
#include "recorder/RecorderTexts.h"
#include "recorder/RecorderView.h"
#include "recorder/ShortcutBackButton.h"
#include "recorder/ShortcutIllustration.h"
#include "recorder/ShortcutsPageRules.h"
#include "recorder/ToggleColorPicker.h"

#include "shortcuts/HotKeyCenter.h"
#include "shortcuts/ShortcutNotifications.h"
#include "shortcuts/ShortcutStorage.h"

#include "runtime/NotificationCenter.h"

#include "ui/Accessibility.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/LightCardSurface.h"
#include "ui/PanelDragArea.h"
#include "ui/PlainToolTip.h"
#include "ui/ScreenInfo.h"
#include "ui/SvgImage.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

namespace vantora::recorder {

namespace {

const ui::DynamicColor pageBackground{QColor::fromRgbF(242 / 255.f, 242 / 255.f, 242 / 255.f),
                                      QColor::fromRgbF(0.13f, 0.13f, 0.13f)};
const ui::DynamicColor pageForeground{QColor::fromRgbF(41 / 255.f, 41 / 255.f, 41 / 255.f),
                                      QColor::fromRgbF(0.94f, 0.94f, 0.94f)};
const ui::DynamicColor dividerColour{QColor::fromRgbF(0, 0, 0, 0.035f), QColor::fromRgbF(1, 1, 1, 0.05f)};

// A line of the card under its rows.
ui::TextLabel *cardNote(const QString &text)
{
    auto *note = new ui::TextLabel(text);
    note->setWordWrap(true);
    note->setFont(ui::systemFont(12));
    note->setForeground(pageForeground);
    note->setContentsMargins(16, 0, 16, 12);
    return note;
}

// Why the desktop bound nothing, in the user's terms.
QString refusalExplanation(platform::DesktopBinding::Refusal refusal)
{
    using Refusal = platform::DesktopBinding::Refusal;
    switch (refusal) {
    case Refusal::keysTaken:
        return QCoreApplication::translate("GlobalShortcutsView",
                                           "Another program uses these keys. Record other keys, or free them in "
                                           "the desktop's keyboard settings.");
    case Refusal::noApplicationId:
        return QCoreApplication::translate(
            "GlobalShortcutsView",
            "The desktop sets shortcuts only for installed apps, and it finds no launcher for vantora "
            "(org.vantora.Vantora.desktop). Install vantora and start it again.");
    case Refusal::cancelled:
        return QCoreApplication::translate("GlobalShortcutsView",
                                           "The desktop asks again when you record keys again.");
    case Refusal::unexplained:
        break;
    }
    return QCoreApplication::translate("GlobalShortcutsView",
                                       "Another program may use these keys. Record other keys, or set the "
                                       "shortcut in the desktop's keyboard settings.");
}

ui::TextLabel *sectionTitle(const QString &text)
{
    auto *title = new ui::TextLabel(text);
    title->setFont(ui::systemFont(14, QFont::Medium));
    title->setForeground(pageForeground);
    title->setContentsMargins(8, 0, 0, 0);
    ui::a11y::setHeading(title);
    return title;
}

// The product's logo, drawn in the page's text colour. Decoration: the window already
// carries the name, and a reader would stop on it as one more pane.
class Logo final : public QWidget {
public:
    Logo()
    {
        setFixedSize(78, 24);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_image.paint(painter, rect(), pageForeground.resolve(ui::colorScheme(this)));
    }

private:
    ui::SvgImage m_image{ui::Image::VantoraLogo};
};

// The thin line between the two shortcut rows.
class Divider final : public QWidget {
public:
    Divider()
    {
        setFixedHeight(1);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), dividerColour.resolve(ui::colorScheme(this)));
    }
};

} // namespace

GlobalShortcutsView::GlobalShortcutsView(RecorderServices &services, ToggleAppearance &toggleAppearance,
                                         std::function<void()> back, bool hotKeysWork, PanelPlace panelPlace,
                                         QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_back(std::move(back))
{
    setFixedWidth(pageWidth);
    followScreen();

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(16, 0, 16, 0);
    page->setSpacing(0);
    page->addWidget(buildHeader());

    auto *shortcutsTitle = sectionTitle(title());
    shortcutsTitle->setContentsMargins(8, 0, 0, 16);
    page->addWidget(shortcutsTitle);
    page->addWidget(buildShortcutCard(hotKeysWork, panelPlace));

    auto *colourTitle = sectionTitle(tr("Toggle color"));
    colourTitle->setContentsMargins(8, 34, 0, 16);
    page->addWidget(colourTitle);
    page->addWidget(new ToggleColorPicker(toggleAppearance));

    page->addStretch(1);
    page->addSpacing(16);

    // A recorder that records takes Escape first (it overrides shortcuts while recording).
    // A recorder that stops leaves the focus nowhere, so the page's window listens, while
    // the page is shown.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] {
        if (m_back)
            m_back();
    });
}

QWidget *GlobalShortcutsView::buildHeader()
{
    auto *header = new ui::PanelDragArea;
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 16, 0, 30);
    row->setSpacing(12);
    auto *backButton = new ShortcutBackButton;
    connect(backButton, &QAbstractButton::clicked, this, [this] {
        if (m_back)
            m_back();
    });
    row->addWidget(backButton);
    row->addWidget(new Logo);
    row->addStretch(1);
    return header;
}

QWidget *GlobalShortcutsView::buildShortcutCard(bool hotKeysWork, PanelPlace panelPlace)
{
    auto *card = new ui::LightCardSurface(12);
    card->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *rows = new QVBoxLayout(card->content());
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);

    m_showRecorder = new RecorderView(m_services, GlobalShortcuts::showVantora());
    m_toggleRecorder = new RecorderView(m_services, GlobalShortcuts::toggleHomeLights());
    m_showRecorder->setValidateShortcut([this](const GlobalShortcuts::Shortcut &shortcut) {
        return shortcutMessage(m_services.storage, shortcut, GlobalShortcuts::toggleHomeLights());
    });
    m_toggleRecorder->setValidateShortcut([this](const GlobalShortcuts::Shortcut &shortcut) {
        return shortcutMessage(m_services.storage, shortcut, GlobalShortcuts::showVantora());
    });

    followDesktop(m_showRecorder, GlobalShortcuts::showVantora());
    followDesktop(m_toggleRecorder, GlobalShortcuts::toggleHomeLights());
    m_services.notifications.addObserver(this, platform::desktopTriggersDidChange,
                                         [this](const runtime::Notification &) {
                                             QMetaObject::invokeMethod(this, [this] { explainDesktopBindings(); },
                                                                       Qt::QueuedConnection);
                                         });

    const QString opensPanel = panelPlace == PanelPlace::trayIcon ? tr("Open the panel from the tray.")
                                                                  : tr("Open the vantora window.");
    rows->addWidget(buildRow(true, m_showRecorder, RecorderTexts::showOrHideApp(), opensPanel));
    rows->addWidget(new Divider);
    rows->addWidget(buildRow(false, m_toggleRecorder, RecorderTexts::toggleAllLights(), tr("Turn on or off all lights")));

    if (!hotKeysWork) {
        m_showRecorder->setEnabled(false);
        m_toggleRecorder->setEnabled(false);
        rows->addWidget(cardNote(tr("Global shortcuts need an X11 session. Log in to an X11 session, or a desktop "
                                    "that runs X11 programs, to use them.")));
    }
    m_askingNote = cardNote({});
    m_askingNote->hide();
    rows->addWidget(m_askingNote);
    m_turnedDownNote = cardNote({});
    rows->addWidget(m_turnedDownNote);
    m_services.notifications.addObserver(this, GlobalShortcuts::shortcutByNameDidChange,
                                         [this](const runtime::Notification &) { sayWhatWasTurnedDown(); });
    sayWhatWasTurnedDown();
    return card;
}

void GlobalShortcutsView::sayWhatWasTurnedDown()
{
    QStringList lines;
    for (const auto &[name, title] : {std::pair(GlobalShortcuts::showVantora(), RecorderTexts::showOrHideApp()),
                                      std::pair(GlobalShortcuts::toggleHomeLights(), RecorderTexts::toggleAllLights())}) {
        const GlobalShortcuts::StoredShortcut stored = m_services.storage.storedShortcut(name);
        if (stored.kind == GlobalShortcuts::StoredShortcut::Kind::declined) {
            lines << tr("%1 is not set: you turned %2 down in the desktop's window. Record the keys again to be "
                        "asked again.")
                         .arg(title, stored.shortcut.description(m_services.layout));
        }
    }
    m_turnedDownNote->setText(lines.join(QLatin1Char('\n')));
    m_turnedDownNote->setVisible(!lines.isEmpty());
}

void GlobalShortcutsView::followDesktop(RecorderView *recorder, const GlobalShortcuts::Name &name)
{
    if (const auto stored = m_services.storage.getShortcut(name))
        m_awaitingDesktop.insert_or_assign(name.rawValue, *stored);
    recorder->setOnChange([this, rawValue = name.rawValue](const std::optional<GlobalShortcuts::Shortcut> &shortcut) {
        if (shortcut)
            m_awaitingDesktop.insert_or_assign(rawValue, *shortcut);
        else
            m_awaitingDesktop.erase(rawValue);
    });
}

void GlobalShortcutsView::explainDesktopBindings()
{
    // Once for each shortcut the page shows or records; the desktop may answer long after (it
    // may have asked the user first). The field already shows what it bound; the alert says
    // why that differs.
    if (!isVisible())
        return;
    const auto anyIs = [this](platform::DesktopBinding::State state) {
        return std::any_of(m_awaitingDesktop.begin(), m_awaitingDesktop.end(), [this, state](const auto &entry) {
            const auto binding = m_services.centre.desktopBinding(entry.second);
            return binding && binding->state == state;
        });
    };
    // A person may take longer than the desktop's deadline in its window: until it answers, the
    // field's keys may do nothing yet.
    const bool asking = anyIs(platform::DesktopBinding::State::asking);
    const bool unanswered = !asking && anyIs(platform::DesktopBinding::State::unconfirmed);
    // Every stored shortcut waits for the desktop's service, not only those just recorded.
    const auto names = {GlobalShortcuts::showVantora(), GlobalShortcuts::toggleHomeLights()};
    const bool serviceGone = std::any_of(names.begin(), names.end(), [this](const GlobalShortcuts::Name &name) {
        const auto stored = m_services.storage.getShortcut(name);
        const auto binding = stored ? m_services.centre.desktopBinding(*stored) : std::nullopt;
        return binding && binding->state == platform::DesktopBinding::State::serviceGone;
    });
    if (serviceGone)
        m_askingNote->setText(tr("The desktop's shortcut service has stopped: the shortcuts do nothing until it is "
                                 "back."));
    else if (asking)
        m_askingNote->setText(tr("The desktop is asking you to confirm the shortcut. Answer in its window."));
    else if (unanswered)
        m_askingNote->setText(tr("The desktop has not answered yet about the shortcut, which may do nothing until "
                                 "it does. If the desktop shows a window about it, answer there."));
    m_askingNote->setVisible(serviceGone || asking || unanswered);
    for (auto entry = m_awaitingDesktop.begin(); entry != m_awaitingDesktop.end();) {
        const GlobalShortcuts::Shortcut recorded = entry->second;
        const auto instead = m_services.centre.desktopTriggerInstead(recorded);
        if (!instead) {
            ++entry;
            continue;
        }
        entry = m_awaitingDesktop.erase(entry);
        // Keys the desktop chose itself become the stored ones (DesktopChosenShortcuts): nothing to explain.
        if (const auto binding = m_services.centre.desktopBinding(recorded); binding && binding->isChosenByDesktop)
            continue;
        const QString keys = recorded.description(m_services.layout);
        if (instead->isEmpty()) {
            const auto binding = m_services.centre.desktopBinding(recorded);
            const auto refusal = binding ? binding->refusal : platform::DesktopBinding::Refusal::unexplained;
            m_services.alerts.present(window(),
                                      refusal == platform::DesktopBinding::Refusal::cancelled
                                          ? tr("You turned down %1 in the desktop's window.").arg(keys)
                                          : tr("The desktop did not accept %1 as a shortcut.").arg(keys),
                                      refusalExplanation(refusal), {});
        } else {
            m_services.alerts.present(window(), tr("The desktop runs this action with %1, not %2.").arg(*instead, keys),
                                      tr("The desktop's keyboard settings decide which keys are used."), {});
        }
    }
}

QWidget *GlobalShortcutsView::buildRow(bool isPanel, RecorderView *recorder, const QString &title,
                                       const QString &subtitle)
{
    auto *row = new QWidget;
    row->setFixedHeight(73);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(16, 0, 16, 0);
    layout->setSpacing(16);
    layout->addWidget(new ShortcutIllustration(isPanel));

    auto *texts = new QVBoxLayout;
    texts->setSpacing(5);
    auto *titleLabel = new ui::TextLabel(title);
    titleLabel->setFont(ui::systemFont(14, QFont::Medium));
    titleLabel->setForeground(pageForeground);
    auto *subtitleLabel = new ui::TextLabel(subtitle);
    subtitleLabel->setFont(ui::systemFont(12));
    subtitleLabel->setForeground(ui::DynamicColor{QColor::fromRgbF(41 / 255.f, 41 / 255.f, 41 / 255.f, 0.6f),
                                                  QColor::fromRgbF(0.94f, 0.94f, 0.94f, 0.6f)});
    subtitleLabel->setWordWrap(true);
    texts->addStretch(1);
    texts->addWidget(titleLabel);
    texts->addWidget(subtitleLabel);
    texts->addStretch(1);
    layout->addLayout(texts, 1);

    recorder->setFixedWidth(recorderWidth);
    recorder->field().setAccessibleName(title + tr(" shortcut"));
    recorder->field().setLabels(titleLabel, subtitleLabel);
    recorder->field().setHint(tr("Include Ctrl or Super. Escape cancels recording; × clears the shortcut. Saved automatically."));
    layout->addWidget(recorder);
    return row;
}

void GlobalShortcutsView::followScreen()
{
    setFixedHeight(shortcutsPageHeight(ui::screenInfo::visibleHeight(this)));
}

bool GlobalShortcutsView::event(QEvent *event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::ScreenChangeInternal)
        followScreen();
    if (event->type() == QEvent::Show)
        QMetaObject::invokeMethod(this, [this] { explainDesktopBindings(); }, Qt::QueuedConnection);
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        // The focus lands on the back button, which says nothing of the page: the title is
        // read once the focus is told, so that it does not cut the button short.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isVisible())
                    ui::a11y::announce(title());
            },
            Qt::QueuedConnection);
    }
    return QWidget::event(event);
}

QString GlobalShortcutsView::title()
{
    return tr("Keyboard shortcuts");
}

void GlobalShortcutsView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), pageBackground.resolve(ui::colorScheme(this)));
}

} // namespace vantora::recorder
