#pragma once

#include "controls/AccessibleButton.h"

#include "ui/AnimatedValue.h"

#include <QAbstractButton>

#include <optional>

namespace vantora::ui {
class HoverTracker;
}

namespace vantora::controls {

// The icon buttons of a room card: the favourite heart and the room's power button. Each
// shows one of three images of its own ("Default", "Hover", "Active") and, while active and
// hovered, a faint capsule behind it. Hover changes fade over 0.16 s (at once under Reduce
// Motion); a change of `active` shows at once. Disabling does not dim the button: it keeps its
// resting image and ignores the pointer. It only emits clicked(), on Space and Return too.
class RoomActionButton final : public QAbstractButton, public AccessibleButtonValue {
    Q_OBJECT
public:
    enum class Kind {
        Heart,
        Power,
    };

    // "RoomHeart", "RoomPower": also the prefix of the kind's image names.
    static QString rawValue(Kind kind);
    static std::optional<Kind> fromRawValue(QStringView text);

    // How strongly each layer shows, back to front.
    struct Layers final {
        double backdrop = 0;
        double defaultImage = 0;
        double hoverImage = 0;
        double activeImage = 0;
        friend bool operator==(const Layers &, const Layers &) = default;
    };
    // `hoverAmount` runs from 0 (not hovered, or disabled) to 1 (hovered and enabled).
    static Layers layers(bool active, double hoverAmount);

    explicit RoomActionButton(Kind kind, QWidget *parent = nullptr);

    Kind kind() const noexcept { return m_kind; }
    bool isActive() const noexcept { return m_active; }
    void setActive(bool active);
    // Both are the caller's texts, shown verbatim (the help as a plain tooltip).
    void setLabel(const QString &label);
    void setHelp(const QString &help);

    Layers currentLayers() const;
    QString accessibleValueText() const override;
    // Checked while active: the room is a favourite, or a light in it is on.
    std::optional<bool> accessibleChecked() const override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    void followHover();

    Kind m_kind;
    bool m_active = false;
    ui::HoverTracker *m_hoverTracker;
    ui::AnimatedValue<double> m_hover;
};

} // namespace vantora::controls
