#include "controls/LightDetailView.h"

#include "controls/BrightnessCardContent.h"
#include "controls/ColourCardContent.h"
#include "controls/ControlCard.h"
#include "controls/DetailPowerRow.h"
#include "controls/DetailStatusLine.h"
#include "controls/LightDetailModel.h"
#include "controls/StoreLightFeed.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FocusHolder.h"
#include "ui/LightsActionButton.h"
#include "ui/PanelDragArea.h"
#include "ui/PanelScrollBar.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"
#include "ui/ViewRuntime.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vantora {

namespace {

ui::DynamicColor pageBackground()
{
    return {ui::colours::grey255(242), ui::colours::grey(0.13)};
}

ui::DynamicColor pageForeground()
{
    return {ui::colours::grey(0.16), ui::colours::grey(0.94)};
}

} // namespace

LightDetailView::LightDetailView(HalvetStore &store, QString lightID, QWidget *parent)
    : QWidget(parent)
    , m_feed(new StoreLightFeed(store, std::move(lightID), ui::ViewRuntime::of(this).resolvedExecutor(), this))
    , m_model(new LightDetailModel(m_feed->inputs(), [feed = m_feed](const LightChange &change) { feed->send(change); },
                                   this))
{
    connect(m_feed, &StoreLightFeed::inputsChanged, m_model, &LightDetailModel::setInputs);

    auto *header = new ui::PanelDragArea(this);
    m_header = new QHBoxLayout(header);
    m_header->setContentsMargins(24, 24, 24, 40);
    m_back = new ui::LightsActionButton(tr("All lights"), ui::LightsActionButtonStyle{ui::colours::grey255(245)}, header);
    m_back->setGlyph(ui::Image::DetailBack, QSizeF(24, 24));
    m_back->setFont(ui::systemFont(14, QFont::Medium));
    m_back->setContentsMargins(8, 0, 14, 0);
    m_back->setFixedHeight(36);
    m_back->setAccessibleName(tr("Back to all lights"));
    m_header->addWidget(m_back, 0, Qt::AlignVCenter);
    m_header->addStretch();
    connect(m_back, &QAbstractButton::clicked, this, &LightDetailView::backRequested);

    auto *column = new QWidget;
    column->setAutoFillBackground(false);
    auto *stack = new QVBoxLayout(column);
    stack->setContentsMargins(16, 0, 16, 16);
    stack->setSpacing(24);
    m_powerRow = new controls::DetailPowerRow(*m_model, column);
    m_brightnessCard = new controls::ControlCard(column);
    m_brightnessContent = new controls::BrightnessCardContent(*m_model, m_brightnessCard->bodyWidget());
    m_brightnessCard->body()->addWidget(m_brightnessContent);
    m_colourCard = new controls::ControlCard(column);
    m_colourContent = new controls::ColourCardContent(*m_model, m_colourCard->bodyWidget());
    m_colourCard->body()->addWidget(m_colourContent);
    auto *note = new ui::TextLabel(tr("This device supports on and off only."), column);
    note->setFont(ui::systemFont(13));
    note->setForeground(ui::systemColours::secondary());
    note->setAlignment(Qt::AlignCenter);
    note->setWordWrap(true);
    note->setContentsMargins(20, 20, 20, 20);
    m_onOffNote = note;
    stack->addWidget(m_powerRow);
    stack->addWidget(m_brightnessCard);
    stack->addWidget(m_colourCard);
    stack->addWidget(m_onOffNote);
    stack->addStretch();

    auto *scroll = new QScrollArea(this);
    // The controls inside are the stops, not the area.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(column);
    scroll->viewport()->setAutoFillBackground(false);
    ui::usePanelScrollBar(*scroll);

    m_statusLine = new controls::DetailStatusLine(*m_model, this);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    page->addWidget(header);
    page->addWidget(scroll, 1);
    page->addWidget(m_statusLine);

    const QScreen *screen = QGuiApplication::primaryScreen();
    setFixedSize(pageWidth, pageHeight(screen ? std::optional(screen->availableGeometry().height()) : std::nullopt));
    ui::makeFocusHolder(*this, m_model->inputs().light.name);
    followScheme();
    connect(m_model, &LightDetailModel::changed, this, &LightDetailView::refresh);
    refresh();
}

LightDetailView::~LightDetailView() = default;

int LightDetailView::pageHeight(std::optional<int> availableHeight)
{
    return availableHeight ? std::min(*availableHeight - 48, tallestHeight) : tallestHeight;
}

void LightDetailView::setHeaderAccessory(QWidget *accessory)
{
    if (accessory == m_accessory)
        return;
    delete m_accessory;
    m_accessory = accessory;
    if (accessory)
        m_header->addWidget(accessory, 0, Qt::AlignVCenter);
}

void LightDetailView::refresh()
{
    ui::a11y::setName(this, m_model->inputs().light.name);
    m_brightnessCard->setVisible(m_model->showsBrightnessCard());
    m_colourCard->setVisible(m_model->showsColourCard());
    m_onOffNote->setVisible(m_model->showsOnOffNote());
    const bool locked = m_model->controlsDisabled();
    // A control disabled while it has the focus leaves no widget focused, and the page would
    // no longer hear Escape; the page keeps the focus instead.
    const QWidget *focused = focusWidget();
    if (locked && focused && (m_brightnessCard->isAncestorOf(focused) || m_colourCard->isAncestorOf(focused)))
        setFocus(Qt::OtherFocusReason);
    m_brightnessCard->setLocked(locked);
    m_colourCard->setLocked(locked);
}

void LightDetailView::followScheme()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, pageForeground().resolve(ui::colorScheme(this)));
    colours.setColor(QPalette::Text, pageForeground().resolve(ui::colorScheme(this)));
    setPalette(colours);
    update();
}

bool LightDetailView::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType() || event->type() == QEvent::ParentChange)
        followScheme();
    return QWidget::event(event);
}

void LightDetailView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT backRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LightDetailView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), pageBackground().resolve(ui::colorScheme(this)));
}

void LightDetailView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        m_model->appear();
}

} // namespace vantora
