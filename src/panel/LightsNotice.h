#pragma once

#include <QColor>
#include <QWidget>

namespace vantora {

namespace ui {
class WrappingText;
}

// The notice banner of the lights list: an information icon and a text that wraps onto as
// many lines as it needs, on a raised rounded card in the scheme's greys. Read as one
// element, the message alone.
class LightsNotice final : public QWidget {
    Q_OBJECT
public:
    struct Colours final {
        QColor icon;
        QColor text;
        QColor cardTop;
        QColor cardBottom;
        QColor highlight;
    };

    static constexpr qreal cornerRadius = 8;
    static constexpr int padding = 8;
    static constexpr int iconSide = 24;

    explicit LightsNotice(const QString &message, QWidget *parent = nullptr);

    void setMessage(const QString &message);
    QString message() const;

    static Colours colours(bool dark);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void followScheme();

    QWidget *m_icon;
    ui::WrappingText *m_text;
};

} // namespace vantora
