#include "controls/AccessibleButton.h"

#include <QAbstractButton>
#include <QAccessibleWidget>

namespace vantora::controls {

namespace {

class AccessibleValueButton final : public QAccessibleWidget {
public:
    AccessibleValueButton(QAbstractButton *button, const AccessibleButtonValue &value)
        : QAccessibleWidget(button, value.accessibleChecked() ? QAccessible::CheckBox : QAccessible::Button)
        , m_value(value)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return m_value.accessibleValueText();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (const std::optional<bool> checked = m_value.accessibleChecked()) {
            state.checkable = true;
            state.checked = *checked;
        }
        return state;
    }

    QStringList actionNames() const override
    {
        if (!widget()->isEnabled())
            return {};
        return {pressAction()};
    }

    void doAction(const QString &name) override
    {
        if (name == pressAction() && widget()->isEnabled())
            static_cast<QAbstractButton *>(widget())->click();
    }

private:
    const AccessibleButtonValue &m_value;
};

QAccessibleInterface *buttonFactory(const QString &, QObject *object)
{
    auto *button = qobject_cast<QAbstractButton *>(object);
    if (!button)
        return nullptr;
    if (const auto *value = dynamic_cast<const AccessibleButtonValue *>(button))
        return new AccessibleValueButton(button, *value);
    return nullptr;
}

} // namespace

void announceCheckedChange(QWidget *button)
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(button, changed);
    QAccessible::updateAccessibility(&event);
}

void installAccessibleButtonFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(buttonFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace vantora::controls
