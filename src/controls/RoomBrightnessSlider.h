#pragma once

#include "controls/RoomBrightnessModel.h"
#include "controls/RoomBrightnessStyle.h"

#include "bridge/LightRoom.h"

#include <QWidget>

namespace vantora {
class ToggleAppearance;
}

namespace vantora::ui {
class TextLabel;
}

namespace vantora::controls {

class LightValueSlider;
class RoomEdgeSlider;

// The one control that sets a whole room's brightness, in one of the four styles. It acts
// only on the room's lit lights and asks for every value step with `changeRequested` (each
// drag step and key step, no debounce); the owner forwards it to the store. The style is
// fixed for the control's life: a new style means a new control.
//
// The vertical style also takes the up and down arrow keys (one point per press); the
// compact sliders keep their own left and right keys.
class RoomBrightnessSlider final : public QWidget {
    Q_OBJECT
public:
    // `appearance` colours the edge style and may be null (amber); it must outlive the control.
    RoomBrightnessSlider(RoomBrightnessStyle style, ToggleAppearance *appearance, QWidget *parent = nullptr);

    RoomBrightnessStyle style() const noexcept { return m_style; }
    void setRoom(const LightRoom &room);
    // The owner takes no brightness input now.
    void setLocked(bool locked);
    // The owner is still applying changes to lights of this room.
    void setUpdating(bool updating);

    const RoomBrightnessModel &model() const noexcept { return m_model; }
    // The inner slider of the compact styles, or null for the edge style.
    LightValueSlider *compactSlider() const noexcept { return m_compact; }
    RoomEdgeSlider *edgeSlider() const noexcept { return m_edge; }
    // The percentage style's read-out, or null.
    ui::TextLabel *readout() const noexcept { return m_readout; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void changeRequested(double brightness);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildEdge(ToggleAppearance *appearance);
    void buildCompact();
    void editValue(double value);
    void setEditing(bool editing);
    void refresh();

    RoomBrightnessStyle m_style;
    RoomBrightnessModel m_model;
    QString m_roomName;
    LightValueSlider *m_compact = nullptr;
    RoomEdgeSlider *m_edge = nullptr;
    ui::TextLabel *m_readout = nullptr;
};

} // namespace vantora::controls
