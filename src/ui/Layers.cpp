#include "ui/Layers.h"

#include "ui/Accessibility.h"
#include "ui/Transition.h"

#include <QEvent>

#include <algorithm>

namespace vantora::ui {

namespace {

// Set on a layer while something lies over it.
const char *const coveredProperty = "_vantora_layer_covered";

} // namespace

Layers::Layers(QWidget *parent)
    : QWidget(parent)
{
}

QWidgetList Layers::layers() const
{
    QWidgetList result;
    for (QObject *child : children()) {
        if (child->isWidgetType() && !static_cast<QWidget *>(child)->isWindow() && !isTransitionGhost(child))
            result.append(static_cast<QWidget *>(child));
    }
    return result;
}

void Layers::adopt(QWidget *layer)
{
    layer->setParent(this);
    layer->setGeometry(rect());
    if (!layer->property(coveredProperty).toBool())
        layer->show();
    updateGeometry();
}

void Layers::addLayer(QWidget *layer)
{
    adopt(layer);
    layer->raise();
}

void Layers::insertLayerAbove(QWidget *layer, QWidget *below)
{
    Q_ASSERT(below && below->parentWidget() == this);
    adopt(layer);
    layer->stackUnder(below);
    below->stackUnder(layer);
}

void Layers::setCovered(QWidget *layer, bool covered)
{
    Q_ASSERT(layer && layer->parentWidget() == this);
    if (isCovered(layer) == covered)
        return;
    layer->setProperty(coveredProperty, covered);
    a11y::setHidden(layer, covered ? a11y::Visibility::Hidden : a11y::Visibility::Shown);
    layer->setVisible(!covered);
}

bool Layers::isCovered(const QWidget *layer) const
{
    return layer->property(coveredProperty).toBool();
}

QSize Layers::sizeHint() const
{
    QSize size(0, 0);
    for (const QWidget *layer : layers())
        size = size.expandedTo(layer->sizeHint());
    return size;
}

QSize Layers::minimumSizeHint() const
{
    QSize size(0, 0);
    for (const QWidget *layer : layers())
        size = size.expandedTo(layer->minimumSizeHint().expandedTo(layer->minimumSize()));
    return size;
}

bool Layers::hasHeightForWidth() const
{
    const QWidgetList all = layers();
    return std::any_of(all.begin(), all.end(), [](const QWidget *layer) { return layer->hasHeightForWidth(); });
}

int Layers::heightForWidth(int width) const
{
    int height = 0;
    for (const QWidget *layer : layers()) {
        const int own = layer->hasHeightForWidth() ? layer->heightForWidth(width) : layer->sizeHint().height();
        height = std::max({height, own, layer->minimumHeight()});
    }
    return height;
}

bool Layers::event(QEvent *event)
{
    // A layer's size hint changed: ours may have too.
    if (event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QWidget::event(event);
}

void Layers::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeLayers();
}

void Layers::placeLayers()
{
    for (QWidget *layer : layers())
        layer->setGeometry(rect());
}

} // namespace vantora::ui
