#include "recorder/ToggleColorPicker.h"

#include "controls/FocusRing.h"
#include "controls/LightToggleArtwork.h"

#include "store/ToggleAppearance.h"

#include "ui/Accessibility.h"
#include "ui/Animation.h"
#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/LightCardSurface.h"
#include "ui/PlainToolTip.h"

#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace vantora::recorder {

namespace {

constexpr int rowHeight = 74;
constexpr int swatchSpacing = 24;
const QSizeF ringSize{46, 40};
const ui::DynamicColor ringColour{ui::colours::grey255(33, 0.1), ui::colours::white(0.22)};

int indexOf(ToggleColor color)
{
    for (std::size_t index = 0; index < allToggleColors.size(); ++index) {
        if (allToggleColors[index] == color)
            return int(index);
    }
    return 0;
}

// A swatch reads as one radio button of the picker's group, checked while chosen.
class AccessibleSwatch final : public QAccessibleWidget {
public:
    explicit AccessibleSwatch(ToggleColorSwatch *swatch)
        : QAccessibleWidget(swatch, QAccessible::RadioButton)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = swatch()->isChecked();
        return state;
    }

    // The artwork inside is the swatch's picture, no part of a reader's radio button.
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && swatch()->isEnabled())
            swatch()->click();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    ToggleColorSwatch *swatch() const { return static_cast<ToggleColorSwatch *>(widget()); }
};

QAccessibleInterface *swatchFactory(const QString &, QObject *object)
{
    if (auto *swatch = qobject_cast<ToggleColorSwatch *>(object))
        return new AccessibleSwatch(swatch);
    return nullptr;
}

} // namespace

ToggleColorSwatch::ToggleColorSwatch(ToggleColor color, QWidget *parent)
    : QAbstractButton(parent)
    , m_color(color)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(swatchFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setFixedSize(sizeHint());
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(tr("%1 toggles").arg(name(color)));
    ui::setPlainToolTip(*this, tr("Use %1 light switches").arg(name(color).toLower()));

    auto *artwork = new LightToggleArtwork(this);
    artwork->apply({true, false, color, true});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(artwork, 0, Qt::AlignCenter);
}

void ToggleColorSwatch::setSelected(bool selected)
{
    setFocusPolicy(selected ? Qt::TabFocus : Qt::NoFocus);
    // Qt tells assistive technologies of the check.
    if (selected != isChecked())
        setChecked(selected);
}

void ToggleColorSwatch::nextCheckState()
{
    // As a radio button, a press never takes the check off: taken off and put back by the
    // picker, the check would reach a reader twice. The press still chose: it says so.
    if (isChecked())
        ui::a11y::tellChosenAgain(*this);
    else
        setChecked(true);
}

void ToggleColorSwatch::focusInEvent(QFocusEvent *event)
{
    m_showsFocusRing = controls::focusRing::cameByKeyboard(*event);
    QAbstractButton::focusInEvent(event);
}

void ToggleColorSwatch::focusOutEvent(QFocusEvent *event)
{
    m_showsFocusRing = false;
    QAbstractButton::focusOutEvent(event);
}

void ToggleColorSwatch::paintEvent(QPaintEvent *)
{
    // The artwork is a child; only the keyboard's focus ring is the swatch's own drawing.
    if (!hasFocus() || !m_showsFocusRing)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    controls::focusRing::paint(painter, this, QRectF(rect()).adjusted(1, 3, -1, -3));
}

ToggleColorPicker::ToggleColorPicker(ToggleAppearance &appearance, QWidget *parent)
    : QWidget(parent)
    , m_appearance(&appearance)
    , m_ringPosition(this, "selection", double(indexOf(appearance.color())), [this] {
        if (m_row)
            m_row->update();
        update();
    })
{
    auto *card = new ui::LightCardSurface(12);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(card);

    m_row = card->content();
    m_row->setFixedHeight(rowHeight);
    m_row->installEventFilter(this);
    auto *row = new QHBoxLayout(m_row);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(swatchSpacing);
    row->addStretch(1);
    for (const ToggleColor color : allToggleColors) {
        auto *swatch = new ToggleColorSwatch(color);
        connect(swatch, &QAbstractButton::clicked, this, [this, color] {
            if (!m_appearance)
                return;
            m_appearance->setColor(color);
            // Choosing the chosen colour again stores it again but changes nothing on screen.
            follow();
        });
        swatch->installEventFilter(this);
        row->addWidget(swatch);
        m_swatches.push_back(swatch);
    }
    row->addStretch(1);

    setAccessibleName(tr("Toggle color"));
    ui::a11y::setRole(this, QAccessible::Grouping);
    connect(&appearance, &ToggleAppearance::colorChanged, this, &ToggleColorPicker::follow);
    follow();
}

void ToggleColorPicker::follow()
{
    if (!m_appearance)
        return;
    const ToggleColor chosen = m_appearance->color();
    ToggleColorSwatch *chosenSwatch = m_swatches.at(std::size_t(indexOf(chosen)));
    // The focus goes along with the choice, its ring as it was, between the new colour's check
    // and the old one's: a reader hears the colour it lands on checked and nothing of the one
    // it left.
    chosenSwatch->setSelected(true);
    const auto focused = std::find_if(m_swatches.begin(), m_swatches.end(),
                                      [](const ToggleColorSwatch *swatch) { return swatch->hasFocus(); });
    if (focused != m_swatches.end() && *focused != chosenSwatch)
        chosenSwatch->setFocus((*focused)->showsFocusRing() ? Qt::TabFocusReason : Qt::OtherFocusReason);
    for (ToggleColorSwatch *swatch : m_swatches) {
        if (swatch != chosenSwatch)
            swatch->setSelected(false);
    }
    m_ringPosition.animateTo(double(indexOf(chosen)), ui::Animation::spring(0.3, 0.85));
}

QRectF ToggleColorPicker::ringRect(double position) const
{
    if (m_swatches.empty())
        return {};
    const QRectF first = QRectF(m_swatches.front()->geometry());
    const double step = m_swatches.size() > 1 ? m_swatches[1]->geometry().x() - first.x() : 0;
    const QPointF centre = first.center() + QPointF(position * step, 0);
    return QRectF(centre - QPointF(ringSize.width() / 2, ringSize.height() / 2), ringSize);
}

void ToggleColorPicker::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_row->update();
}

bool ToggleColorPicker::chooseByKey(const ToggleColorSwatch *swatch, int key)
{
    const int count = int(m_swatches.size());
    const int here = indexOf(swatch->color());
    int next = here;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        next = (here + count - 1) % count;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        next = (here + 1) % count;
        break;
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = count - 1;
        break;
    default:
        return false;
    }
    if (next != here)
        m_swatches.at(std::size_t(next))->click();
    return true;
}

bool ToggleColorPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *swatch = qobject_cast<ToggleColorSwatch *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (swatch && key->modifiers() == Qt::NoModifier && chooseByKey(swatch, key->key()))
            return true;
    }
    if (watched == m_row && event->type() == QEvent::Paint) {
        // The ring lies under the swatches, on the card.
        QPainter painter(m_row);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF ring = ringRect(m_ringPosition.value()).adjusted(1, 1, -1, -1);
        painter.setPen(QPen(ringColour.resolve(ui::colorScheme(this)), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vantora::recorder
