#include "welcome/ManualAddressSheet.h"

#include "welcome/SheetParts.h"
#include "welcome/WelcomeScreenRules.h"
#include "welcome/WelcomeScreenTexts.h"

#include "ui/Accessibility.h"
#include "ui/PanelTextField.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantora {

using Texts = WelcomeScreenTexts;

ManualAddressSheet::ManualAddressSheet(QWidget *parent)
    : QWidget(parent)
    , m_field(new ui::PanelTextField(this))
    , m_cancel(sheetParts::button(Texts::cancel(), this))
    , m_connect(sheetParts::button(Texts::connect(), this))
    , m_problem(new ui::TextLabel(QString(), this))
{
    // Read as a dialog by its title: a reader names it as the focus enters its field.
    setAccessibleName(Texts::addressTitle());
    ui::a11y::setRole(this, QAccessible::Dialog);
    auto *hint = new ui::TextLabel(Texts::addressHint(), this);
    hint->setFont(ui::systemFont(13));
    hint->setForeground(ui::systemColours::secondary());
    hint->setWordWrap(true);
    // The field's description: a reader would say it with the dialog, then with the field.
    ui::a11y::setHidden(hint);

    m_field->setPlaceholderText(Texts::addressPlaceholder());
    m_field->setAccessibleName(Texts::addressFieldName());
    // Without a description of its own, the field is described by its placeholder, an example
    // address that a filled field would read out again after the address typed.
    ui::a11y::setDescription(m_field, Texts::addressHint());
    m_field->setClearButtonEnabled(false);
    m_connect->setDefault(true);
    m_connect->setEnabled(false);
    m_problem->setFont(ui::systemFont(13));
    m_problem->setForeground(ui::systemColours::orange());
    m_problem->setWordWrap(true);
    // Said as it comes; read again with the field, it would be said twice.
    ui::a11y::setHidden(m_problem);
    m_problem->hide();

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    buttons->addWidget(m_connect);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(sheetParts::spacing);
    column->addWidget(sheetParts::title(Texts::addressTitle(), this));
    column->addWidget(hint);
    column->addWidget(m_field);
    column->addWidget(m_problem);
    column->addLayout(buttons);

    connect(m_field, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_connect->setEnabled(welcomeScreen::isConnectable(text));
        m_problem->hide();
        m_problem->clear();
    });
    connect(m_connect, &QPushButton::clicked, this, [this] { requestConnection(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Q_EMIT cancelRequested(); });
}

QString ManualAddressSheet::address() const
{
    return m_field->text();
}

void ManualAddressSheet::showProblem(const QString &problem)
{
    m_problem->setText(problem);
    m_problem->show();
    m_field->selectAll();
    // A reader reads the field as the focus comes back to it, then the problem, after it.
    if (!m_field->hasFocus())
        m_field->setFocus(Qt::OtherFocusReason);
    ui::a11y::announce(problem);
}

QString ManualAddressSheet::problem() const
{
    return m_problem->text();
}

void ManualAddressSheet::keyPressEvent(QKeyEvent *event)
{
    // The field passes Return on, so this is the one place it connects from.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        requestConnection();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ManualAddressSheet::requestConnection()
{
    if (welcomeScreen::isConnectable(address()))
        Q_EMIT connectRequested();
}

} // namespace vantora
