#include "ui/KeyedColumnBase.h"

#include "ui/AnimatedValue.h"

#include <QEvent>
#include <QPointer>

#include <algorithm>

namespace vantora::ui {

struct KeyedColumnBase::Slot {
    Slot(QWidget *column, QWidget *widget)
        : row(widget)
        , top(column, "rowTop", 0, [this] { moveRow(); })
    {
    }

    void moveRow()
    {
        if (row)
            row->move(0, qRound(top.value()));
    }

    QPointer<QWidget> row;
    AnimatedValue<double> top;
    bool placed = false;
};

KeyedColumnBase::KeyedColumnBase(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

KeyedColumnBase::~KeyedColumnBase() = default;

void KeyedColumnBase::setSpacing(int spacing)
{
    if (spacing == m_spacing)
        return;
    m_spacing = spacing;
    updateGeometry();
    place(false);
}

int KeyedColumnBase::rowHeight(const QWidget *row, int width)
{
    const int height = row->hasHeightForWidth() ? row->heightForWidth(width) : row->sizeHint().height();
    return std::max(height, row->minimumHeight());
}

int KeyedColumnBase::heightForWidth(int width) const
{
    int height = 0;
    int placed = 0;
    for (const auto &slot : m_slots) {
        if (slot->row && !slot->row->isHidden()) {
            height += rowHeight(slot->row, width);
            ++placed;
        }
    }
    return height + std::max(0, placed - 1) * m_spacing;
}

QSize KeyedColumnBase::sizeHint() const
{
    int width = 0;
    for (const auto &slot : m_slots) {
        if (slot->row && !slot->row->isHidden())
            width = std::max(width, slot->row->sizeHint().width());
    }
    return {width, heightForWidth(width)};
}

QSize KeyedColumnBase::minimumSizeHint() const
{
    return {0, 0};
}

void KeyedColumnBase::setOrder(const std::vector<QWidget *> &rows)
{
    std::vector<std::unique_ptr<Slot>> ordered;
    ordered.reserve(rows.size());
    for (QWidget *row : rows) {
        auto existing = std::find_if(m_slots.begin(), m_slots.end(),
                                     [row](const auto &slot) { return slot && slot->row == row; });
        if (existing != m_slots.end())
            ordered.push_back(std::move(*existing));
        else
            ordered.push_back(std::make_unique<Slot>(this, row));
    }
    m_slots = std::move(ordered);
    updateGeometry();
    place(true);
}

void KeyedColumnBase::place(bool animated)
{
    int top = 0;
    for (const auto &slot : m_slots) {
        QWidget *row = slot->row;
        if (!row || row->isHidden())
            continue;
        const int height = rowHeight(row, width());
        row->resize(width(), height);
        if (animated && slot->placed)
            slot->top.animateTo(top);
        else if (!slot->placed || slot->top.target() != top)
            slot->top.setImmediately(top); // a new row appears where it belongs
        slot->placed = true;
        slot->moveRow();
        top += height + m_spacing;
    }
}

bool KeyedColumnBase::event(QEvent *event)
{
    // A row asked for a new height.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        place(false);
    }
    return QWidget::event(event);
}

void KeyedColumnBase::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place(false);
}

} // namespace vantora::ui
