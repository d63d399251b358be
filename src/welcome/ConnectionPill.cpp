#include "welcome/ConnectionPill.h"

#include "welcome/ConnectionPillMetrics.h"
#include "welcome/ConnectionPillPalette.h"
#include "welcome/ConnectionPillTexts.h"
#include "welcome/FoundContent.h"
#include "welcome/PillButtonContent.h"
#include "welcome/RetryContent.h"
#include "welcome/SearchingContent.h"

#include "ui/Accessibility.h"
#include "ui/EnvironmentKeys.h"
#include "ui/HoverTracker.h"
#include "ui/ShadowUnderlay.h"
#include "ui/Shapes.h"
#include "ui/SystemFont.h"
#include "ui/ViewRuntime.h"

#include "runtime/Clock.h"

#include <QPainter>
#include <QtMath>

namespace vantora {

namespace {

const ui::Animation stateChange = ui::Animation::spring(0.28, 1);
const ui::Animation messageChange = ui::Animation::spring(0.28, 1);
const ui::Animation highlightChange = ui::Animation::easeOut(0.15);

QSizeF sizeFor(const ConnectionPillState &state)
{
    return QSizeF(pillMetrics::pillWidth(state), pillMetrics::pillHeight(state));
}

double raisedFor(const ConnectionPillState &state)
{
    return state.kind() == ConnectionPillState::Case::Ready ? 1 : 0;
}

QLinearGradient gradientOf(const QRectF &rect, const auto &stops, ui::ColorScheme scheme)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    const qreal last = stops.size() - 1;
    for (std::size_t i = 0; i < stops.size(); ++i)
        gradient.setColorAt(i / last, stops[i].resolve(scheme));
    return gradient;
}

// The hover highlight, laid over the content; it takes no input and is not presented.
class HighlightLayer final : public QWidget {
public:
    HighlightLayer(QWidget *pill, const ui::AnimatedValue<double> &amount)
        : QWidget(pill)
        , m_amount(amount)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_amount.value() <= 0)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setOpacity(m_amount.value());
        painter.fillPath(ui::shapes::roundedRect(rect(), ui::shapes::capsule),
                         pillPalette::hoverHighlight().resolve(ui::colorScheme(this)));
    }

private:
    const ui::AnimatedValue<double> &m_amount;
};

} // namespace

ConnectionPill::ConnectionPill(ConnectionPillState state, Action action, QWidget *parent)
    : QWidget(parent)
    , m_state(std::move(state))
    , m_action(std::move(action))
    , m_hoverTracker(new ui::HoverTracker(this))
    , m_shadow(new ui::ShadowUnderlay(this, ui::shapes::capsule, pillPalette::readyShadow()))
    , m_highlightLayer(new HighlightLayer(this, m_highlight))
    , m_size(this, "size", sizeFor(m_state), [this] { followSize(); })
    , m_raised(this, "raised", raisedFor(m_state), [this] { followRaised(); })
    , m_highlight(this, "highlight", 0, [this] { m_highlightLayer->update(); })
    , m_rotation(this, m_state, [this](ConnectionPillState key) { return rotateSearchMessages(std::move(key)); })
{
    setFont(ui::systemFont(pillMetrics::textPixelSize));
    connect(m_hoverTracker, &ui::HoverTracker::hoveredChanged, this, [this] { followHover(); });
    followSize();
    followRaised();
    m_content = makeContent();
    m_content->appear(ui::Animation::none());
    m_highlightLayer->raise();
}

void ConnectionPill::apply(const ConnectionPillState &state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_size.animateTo(sizeFor(m_state), stateChange);
    m_raised.animateTo(raisedFor(m_state), stateChange);
    replaceContent(stateChange);
    followHover();
    m_rotation.setKey(m_state);
    announceState();
}

void ConnectionPill::announceState() const
{
    // The pill on screen tells how pairing goes wherever the focus is: a reader hears each
    // step once, from the one window that shows it.
    if (!isVisible())
        return;
    switch (m_state.kind()) {
    case ConnectionPillState::Case::Searching:
        ui::a11y::announce(ConnectionPillTexts::searchingLabel());
        break;
    case ConnectionPillState::Case::Found:
        ui::a11y::announce(ConnectionPillTexts::foundLabel(m_state.name(), m_state.address()));
        break;
    case ConnectionPillState::Case::Retry:
        ui::a11y::announce(m_state.message());
        break;
    case ConnectionPillState::Case::Ready:
    case ConnectionPillState::Case::Choose:
        break;
    }
}

void ConnectionPill::setAction(Action action)
{
    m_action = std::move(action);
}

bool ConnectionPill::isHovered() const
{
    return m_hoverTracker->isHovered();
}

QSize ConnectionPill::sizeHint() const
{
    return size();
}

PillContent *ConnectionPill::makeContent()
{
    const auto act = [this] { runAction(); };
    switch (m_state.kind()) {
    case ConnectionPillState::Case::Ready: {
        auto *content = new PillButtonContent(this, ConnectionPillTexts::pairBridge(),
                                              PillActionButton::Trailing::Nothing, act);
        content->button()->setAccessibleDescription(ConnectionPillTexts::pairHint());
        return content;
    }
    case ConnectionPillState::Case::Searching:
        return new SearchingContent(this, ConnectionPillTexts::searchMessages().at(m_searchMessageIndex));
    case ConnectionPillState::Case::Found:
        return new FoundContent(this, m_state.name(), m_state.address());
    case ConnectionPillState::Case::Retry:
        return new RetryContent(this, m_state.message(), act);
    case ConnectionPillState::Case::Choose:
        break;
    }
    return new PillButtonContent(this, ConnectionPillTexts::chooseBridge(), PillActionButton::Trailing::Chevron, act);
}

void ConnectionPill::replaceContent(const ui::Animation &animation)
{
    if (m_content)
        m_content->disappear(animation);
    m_content = makeContent();
    m_content->show();
    m_content->appear(animation);
    m_highlightLayer->raise();
}

void ConnectionPill::runAction()
{
    if (m_action)
        m_action();
}

void ConnectionPill::followHover()
{
    const bool lit = m_state.kind() == ConnectionPillState::Case::Ready && isHovered();
    m_highlight.animateTo(lit ? 1 : 0, highlightChange);
}

void ConnectionPill::followSize()
{
    const QSizeF size = m_size.value();
    setFixedSize(qRound(size.width()), qRound(size.height()));
    updateGeometry();
}

void ConnectionPill::followRaised()
{
    m_shadow->setShadowOpacity(std::clamp(m_raised.value(), 0.0, 1.0));
    update();
}

void ConnectionPill::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    for (PillContent *content : findChildren<PillContent *>(QString(), Qt::FindDirectChildrenOnly))
        content->setGeometry(rect());
    m_highlightLayer->setGeometry(rect());
}

void ConnectionPill::setSearchMessageIndex(int index)
{
    if (index == m_searchMessageIndex)
        return;
    m_searchMessageIndex = index;
    if (auto *searching = qobject_cast<SearchingContent *>(m_content.data()))
        searching->showMessage(ConnectionPillTexts::searchMessages().at(index), messageChange);
}

runtime::Task<void> ConnectionPill::rotateSearchMessages(ConnectionPillState state)
{
    setSearchMessageIndex(0);
    if (state.kind() != ConnectionPillState::Case::Searching)
        co_return;
    runtime::Clock &clock = ui::ViewRuntime::of(this).resolvedClock();
    for (;;) {
        co_await clock.sleepFor(searchMessageInterval);
        // A wake-up already on its way when the state changed must not move the index.
        co_await runtime::checkCancellation();
        setSearchMessageIndex((m_searchMessageIndex + 1) % ConnectionPillTexts::searchMessageCount);
    }
}

void ConnectionPill::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ui::ColorScheme scheme = ui::colorScheme(this);
    const QRectF capsule = rect();
    const qreal raised = std::clamp(m_raised.value(), 0.0, 1.0);

    painter.fillPath(ui::shapes::roundedRect(capsule, ui::shapes::capsule), pillPalette::baseFill().resolve(scheme));
    if (raised > 0) {
        painter.setOpacity(raised);
        painter.fillPath(ui::shapes::roundedRect(capsule, ui::shapes::capsule),
                         gradientOf(capsule, pillPalette::raisedFill(), scheme));
        painter.setOpacity(1);
    }
    ui::shapes::strokeInside(painter, capsule, ui::shapes::capsule, 1, gradientOf(capsule, pillPalette::innerRim(), scheme));
    if (raised > 0) {
        painter.setOpacity(raised);
        ui::shapes::strokeInside(painter, capsule, ui::shapes::capsule, 1,
                                 gradientOf(capsule, pillPalette::raisedRim(), scheme));
    }
}

} // namespace vantora
