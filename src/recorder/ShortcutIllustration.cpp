#include "recorder/ShortcutIllustration.h"

#include "recorder/ShortcutPowerGlyph.h"

#include "ui/Accessibility.h"
#include "ui/Animation.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/ViewRuntime.h"
#include "ui/ViewTask.h"

#include "runtime/Clock.h"
#include "runtime/Task.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <chrono>
#include <cmath>
#include <random>

namespace vantora::recorder {

using namespace std::chrono_literals;

namespace {

using ui::colours::black;
using ui::colours::grey;
using ui::colours::white;

QColor p3Grey(double level)
{
    return ui::colours::displayP3(level, level, level);
}

QColor mix(const QColor &a, const QColor &b, double progress)
{
    const auto channel = [progress](float x, float y) { return float(x + (y - x) * progress); };
    return QColor::fromRgbF(channel(a.redF(), b.redF()), channel(a.greenF(), b.greenF()),
                            channel(a.blueF(), b.blueF()), channel(a.alphaF(), b.alphaF()));
}

void fillCapsule(QPainter &painter, const QRectF &rect, const QColor &colour)
{
    const double radius = std::min(rect.width(), rect.height()) / 2;
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    painter.fillPath(path, colour);
}

void fillCircle(QPainter &painter, const QPointF &centre, double diameter, const QBrush &brush)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawEllipse(centre, diameter / 2, diameter / 2);
}

// A soft shadow drawn as a few widening, fading copies of the shape: close enough at this
// size to the blurred shadow it stands for.
void shadow(QPainter &painter, const QPainterPath &shape, const QColor &colour, double radius, QPointF offset)
{
    const int steps = radius < 1 ? 1 : 3;
    for (int step = steps; step >= 1; --step) {
        const double grow = radius * step / steps;
        QColor layer = colour;
        layer.setAlphaF(float(colour.alphaF() / steps));
        QPainterPathStroker stroker;
        stroker.setWidth(grow * 2);
        painter.fillPath(shape.translated(offset).united(stroker.createStroke(shape.translated(offset))), layer);
    }
}

// The miniature panel's card and its rows, in coordinates around the picture's centre.
const QRectF panelCard(-13, -8, 26, 23);
constexpr double rowWidth = 8 + 5 + 5;

double rowCentreY(int row)
{
    return panelCard.center().y() + (row - 1) * 6;
}

QPainterPath powerGlyph()
{
    return shortcutPowerGlyph(QRectF(-6, -6, 12, 12));
}

QPen glyphStroke()
{
    QPen stroke(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
    stroke.setMiterLimit(10);
    return stroke;
}

} // namespace

ShortcutIllustration::ShortcutIllustration(bool isPanel, QWidget *parent)
    : ShortcutIllustration(isPanel, std::random_device{}(), parent)
{
}

ShortcutIllustration::ShortcutIllustration(bool isPanel, std::uint32_t seed, QWidget *parent)
    : QWidget(parent)
    , m_isPanel(isPanel)
    , m_nextRows(seed)
    , m_pressed(this, "powerPressed", 0.0)
{
    for (std::size_t row = 0; row < m_rowLight.size(); ++row)
        m_rowLight[row] = std::make_unique<ui::AnimatedValue<double>>(this, "litRow", 0.0);
    setFixedSize(side, side);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // A picture of a behaviour, not content: assistive technologies skip it.
    ui::a11y::setHidden(this);
    m_task = new ui::ViewTask(this, [this] { return run(); });
}

ShortcutIllustration::~ShortcutIllustration() = default;

bool ShortcutIllustration::isMoving() const
{
    return m_task->isRunning();
}

bool ShortcutIllustration::mayMove() const
{
    const QWidget *top = window();
    return !ui::reduceMotion(this) && isVisible() && top && top->isActiveWindow();
}

bool ShortcutIllustration::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::ParentChange:
        watchWindow();
        break;
    default:
        if (event->type() == ui::EnvironmentChangeEvent::eventType())
            restartWhenKeyChanges();
        break;
    }
    return QWidget::event(event);
}

void ShortcutIllustration::watchWindow()
{
    QWidget *top = window();
    if (top == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = top;
    if (top && top != this)
        top->installEventFilter(this);
}

bool ShortcutIllustration::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow &&
        (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate))
        restartWhenKeyChanges();
    return QWidget::eventFilter(watched, event);
}

void ShortcutIllustration::restartWhenKeyChanges()
{
    const bool key = mayMove();
    if (key == m_lastKey)
        return;
    m_lastKey = key;
    m_task->restart();
}

runtime::Task<void> ShortcutIllustration::run()
{
    m_lastKey = mayMove();
    if (!m_lastKey) {
        rest();
        co_return;
    }
    if (m_isPanel)
        co_await runPanel();
    else
        co_await runPowerButton();
}

runtime::Task<void> ShortcutIllustration::runPanel()
{
    runtime::Clock &clock = ui::ViewRuntime::of(this).resolvedClock();
    co_await clock.sleepFor(1000ms);
    for (;;) {
        co_await runtime::checkCancellation();
        setLitRows(m_nextRows.next(m_litRows));
        co_await clock.sleepFor(3000ms);
    }
}

runtime::Task<void> ShortcutIllustration::runPowerButton()
{
    runtime::Clock &clock = ui::ViewRuntime::of(this).resolvedClock();
    co_await clock.sleepFor(1600ms);
    for (;;) {
        co_await runtime::checkCancellation();
        m_pressed.animateTo(1.0, ui::Animation::easeInOut(0.16));
        co_await clock.sleepFor(560ms);
        m_pressed.animateTo(0.0, ui::Animation::spring(0.28, 0.68));
        co_await clock.sleepFor(2800ms);
    }
}

void ShortcutIllustration::rest()
{
    m_litRows.clear();
    for (auto &light : m_rowLight)
        light->setImmediately(0.0);
    m_pressed.setImmediately(0.0);
    update();
}

void ShortcutIllustration::setLitRows(const std::set<int> &rows)
{
    m_litRows = rows;
    for (int row = 0; row < LitRows::rowCount; ++row)
        m_rowLight[std::size_t(row)]->animateTo(rows.contains(row) ? 1.0 : 0.0, ui::Animation::easeInOut(0.24));
}

void ShortcutIllustration::paintEvent(QPaintEvent *)
{
    const Pictures &pictures = currentPictures();
    QPainter painter(this);
    painter.drawPixmap(0, 0, pictures.background);
    if (m_isPanel) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(side / 2.0, side / 2.0);
        paintToggles(painter, pictures.scheme == ui::ColorScheme::Dark);
        return;
    }
    // The button's two faces cross-fade as it goes down and comes back up.
    const double pressed = std::clamp(m_pressed.value(), 0.0, 1.0);
    if (pressed < 1) {
        painter.setOpacity(1 - pressed);
        painter.drawPixmap(0, 0, pictures.raised);
    }
    if (pressed > 0) {
        painter.setOpacity(pressed);
        painter.drawPixmap(0, 0, pictures.pressed);
    }
}

const ShortcutIllustration::Pictures &ShortcutIllustration::currentPictures()
{
    const ui::ColorScheme scheme = ui::colorScheme(this);
    const qreal ratio = devicePixelRatioF();
    if (!m_pictures || m_pictures->scheme != scheme || m_pictures->ratio != ratio) {
        const bool dark = scheme == ui::ColorScheme::Dark;
        Pictures pictures{scheme, ratio, {}, {}, {}};
        pictures.background = picture(ratio, [&](QPainter &painter) {
            paintTile(painter, dark);
            if (m_isPanel) {
                painter.translate(side / 2.0, side / 2.0);
                paintPanel(painter, dark);
            }
        });
        if (!m_isPanel) {
            pictures.raised = picture(ratio, [&](QPainter &painter) { paintRaisedButton(painter, dark); });
            pictures.pressed = picture(ratio, [&](QPainter &painter) { paintPressedButton(painter, dark); });
        }
        m_pictures = std::move(pictures);
    }
    return *m_pictures;
}

QPixmap ShortcutIllustration::picture(qreal ratio, const std::function<void(QPainter &)> &paint)
{
    const int pixels = static_cast<int>(std::ceil(side * ratio));
    QPixmap pixmap(pixels, pixels);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return pixmap;
}

void ShortcutIllustration::paintTile(QPainter &painter, bool dark)
{
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0.5, 0.5, side - 1, side - 1), 7, 7);
    painter.fillPath(tile, dark ? grey(0.2) : p3Grey(0.9652));
    painter.setPen(QPen(black(0.05), 1));
    painter.drawPath(tile);
}

void ShortcutIllustration::paintPanel(QPainter &painter, bool dark)
{
    // The tray icon the panel hangs from.
    fillCapsule(painter, QRectF(-4, -12 - 2, 8, 4), dark ? grey(0.38) : grey(0.85));
    fillCircle(painter, QPointF(0, -12), 2, Qt::white);

    // The panel's card.
    QPainterPath cardShape;
    cardShape.addRoundedRect(panelCard, 3, 3);
    shadow(painter, cardShape, black(0.06), 2, QPointF(0, 2));
    shadow(painter, cardShape, black(0.10), 0.5, QPointF(0, 1));
    QPainterPath ring;
    ring.addRoundedRect(panelCard.adjusted(-0.5, -0.5, 0.5, 0.5), 4, 4);
    painter.setPen(QPen(black(0.04), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(ring);
    painter.fillPath(cardShape, dark ? grey(0.28) : Qt::white);
    painter.fillPath(cardShape.translated(0, 1).subtracted(cardShape.translated(0, 0.5)).intersected(cardShape),
                     dark ? white(0.08) : Qt::white);

    // The rows' label bars; their toggles move.
    const QColor bar = dark ? grey(0.4) : grey(0.91);
    for (int row = 0; row < LitRows::rowCount; ++row)
        fillCapsule(painter, QRectF(-rowWidth / 2, rowCentreY(row) - 1, 8, 2), bar);
}

void ShortcutIllustration::paintToggles(QPainter &painter, bool dark) const
{
    const QColor off = dark ? grey(0.42) : grey(0.85);
    const QColor on = QColor::fromRgbF(1.0f, 0.63f, 0.0f);
    for (int row = 0; row < LitRows::rowCount; ++row) {
        const double light = m_rowLight[std::size_t(row)]->value();
        const double centreY = rowCentreY(row);
        const QRectF toggle(-rowWidth / 2 + 13, centreY - 2, 5, 4);
        fillCapsule(painter, toggle, mix(off, on, light));
        const double knobX = toggle.left() + 1 + 1 + light * (toggle.width() - 4);
        fillCircle(painter, QPointF(knobX, centreY), 2, Qt::white);
    }
}

void ShortcutIllustration::paintRaisedButton(QPainter &painter, bool dark)
{
    painter.translate(side / 2.0, side / 2.0);
    QPainterPath raised;
    raised.addEllipse(QPointF(0, 0), 11, 11);
    shadow(painter, raised, black(0.06), 2, QPointF(0, 2));
    shadow(painter, raised, black(0.10), 0.5, QPointF(0, 1));
    painter.setPen(QPen(black(0.04), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(0, 0), 11.5, 11.5);
    QLinearGradient raisedFill(0, -11, 0, 11);
    raisedFill.setColorAt(0, dark ? grey(0.32) : Qt::white);
    raisedFill.setColorAt(1, dark ? grey(0.26) : p3Grey(0.9647));
    painter.fillPath(raised, raisedFill);
    painter.setPen(QPen(dark ? white(0.12) : Qt::white, 0.5));
    painter.drawEllipse(QPointF(0, 0), 10.75, 10.75);

    QPen stroke = glyphStroke();
    stroke.setColor(dark ? grey(0.76) : p3Grey(0.7541));
    painter.setPen(stroke);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(powerGlyph());
}

void ShortcutIllustration::paintPressedButton(QPainter &painter, bool dark)
{
    // A little larger than the raised face, and without a shadow.
    painter.translate(side / 2.0, side / 2.0);
    QLinearGradient pressedFill(0, -12, 0, 12);
    pressedFill.setColorAt(0, dark ? grey(0.17) : p3Grey(0.8276));
    pressedFill.setColorAt(1, dark ? grey(0.25) : p3Grey(0.9098));
    fillCircle(painter, QPointF(0, 0), 24, pressedFill);
    QLinearGradient rim(0, -12, 0, 12);
    rim.setColorAt(0, dark ? grey(0.12) : p3Grey(0.7683));
    rim.setColorAt(1, dark ? grey(0.3) : p3Grey(0.8778));
    painter.setPen(QPen(QBrush(rim), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(0, 0), 11.5, 11.5);

    // Lit: an amber glow under an amber symbol.
    const QPainterPath glyph = powerGlyph();
    painter.setPen(QPen(QColor::fromRgbF(0.992157f, 0.72549f, 0.14902f, 0.25f), 6, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.drawPath(glyph);
    QRadialGradient amber(QPointF(0, -6 + 1), 10);
    amber.setColorAt(0, ui::colours::displayP3(0.6012, 0.2104, 0.0));
    amber.setColorAt(1, ui::colours::displayP3(1.0, 0.7699, 0.1877));
    QPen stroke = glyphStroke();
    stroke.setBrush(amber);
    painter.setPen(stroke);
    painter.drawPath(glyph);
}

} // namespace vantora::recorder
