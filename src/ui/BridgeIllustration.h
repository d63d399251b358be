#pragma once

#include <QPointF>
#include <QWidget>

namespace vantora::ui {

// The picture of the Hue Bridge: the image "HueBridgeWelcome" fitted into 190 × 171, set
// 12.25 right and 2 down inside a fixed 220 × 172 frame. Views that mark the bridge's link
// button use linkButtonCentre, the point where the picture shows it.
class BridgeIllustration final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize frameSize{220, 172};
    static constexpr QRectF pictureRect{12.25, 2, 190, 171};
    static constexpr QPointF linkButtonCentre{109, 73};

    explicit BridgeIllustration(QWidget *parent = nullptr);

    QSize sizeHint() const override { return frameSize; }

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vantora::ui
