#include "app/DemonstrationScale.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace vantora {

namespace {

constexpr int frameWidth = 880;
constexpr int largestBaseHeight = 542;
constexpr int heightWithoutScreen = 900;
constexpr qreal scale = 2;

} // namespace

DemonstrationFrame demonstrationFrame(std::optional<int> visibleHeight)
{
    const int height = visibleHeight.value_or(heightWithoutScreen);
    const int base = visibleHeight ? std::min(largestBaseHeight, height - 48) : largestBaseHeight;
    return {base, QSize(frameWidth, 2 * base), QSize(frameWidth, std::min(height - 80, 2 * base))};
}

DemonstrationScale::DemonstrationScale(QWidget *content, QWidget *parent) : QWidget(parent)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const DemonstrationFrame frame =
        demonstrationFrame(screen ? std::optional(screen->availableGeometry().height()) : std::nullopt);

    auto *scene = new QGraphicsScene(this);
    QGraphicsProxyWidget *proxy = scene->addWidget(content);
    proxy->setScale(scale);
    scene->setSceneRect(QRectF(QPointF(0, 0), QSizeF(frame.inner)));

    auto *view = new QGraphicsView(scene, this);
    view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view->setFrameShape(QFrame::NoFrame);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setFixedSize(frame.outer);
    // Start at the top of the content, not in its middle.
    view->centerOn(QPointF(frame.outer.width(), frame.outer.height()) / 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view, 0, Qt::AlignCenter);
}

} // namespace vantora
