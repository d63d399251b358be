#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace vantora {

namespace ui {
class TextLabel;
}

// The content of the sheet that connects to a typed bridge address: a title, a hint, the
// address field and the buttons Cancel and Connect. Connect is enabled only while the text,
// trimmed of white space and line breaks, is not empty; Connect and Return anywhere in the
// sheet then ask to connect, and do nothing otherwise. The typed text is kept as typed, and
// stays when the sheet closes. A problem with the address shows under the field until the
// text changes.
class ManualAddressSheet final : public QWidget {
    Q_OBJECT
public:
    explicit ManualAddressSheet(QWidget *parent = nullptr);

    QString address() const;
    QLineEdit *field() const noexcept { return m_field; }
    QPushButton *connectButton() const noexcept { return m_connect; }
    QPushButton *cancelButton() const noexcept { return m_cancel; }
    // Shows `problem` under the field and gives the field the keyboard, its text selected for
    // typing over; a reader hears the problem once, after the field when the focus comes back.
    void showProblem(const QString &problem);
    // Empty while no problem shows.
    QString problem() const;

Q_SIGNALS:
    void connectRequested();
    void cancelRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void requestConnection();

    QLineEdit *m_field;
    QPushButton *m_cancel;
    QPushButton *m_connect;
    ui::TextLabel *m_problem;
};

} // namespace vantora
