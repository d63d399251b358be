#pragma once

#include <QWidget>

namespace vantora {

namespace ui {
class WrappingText;
}

// A status line of the lights list: an icon and a text that wraps onto as many lines as it
// needs, on a faint rounded background; orange with an exclamation mark for an error, the
// secondary colour with an "i" otherwise. Read as one element, the text alone.
class StatusMessage final : public QWidget {
    Q_OBJECT
public:
    enum class Kind {
        error,
        neutral,
    };

    static constexpr int padding = 11;
    static constexpr qreal cornerRadius = 9;
    static constexpr qreal backgroundOpacity = 0.08;

    StatusMessage(const QString &message, Kind kind, QWidget *parent = nullptr);

    void setMessage(const QString &message);
    QString message() const;
    Kind kind() const noexcept { return m_kind; }
    // The colour of the icon and the text in the current scheme.
    QColor colour() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Kind m_kind;
    QWidget *m_icon;
    ui::WrappingText *m_text;
};

} // namespace vantora
