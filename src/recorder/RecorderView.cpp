#include "recorder/RecorderView.h"

#include "recorder/ConflictPolicyEnvironment.h"
#include "recorder/LabeledRow.h"

#include <QHBoxLayout>
#include <QLabel>

namespace vantora::recorder {

RecorderView::RecorderView(RecorderServices &services, ShortcutSource source, OnChange onChange, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_source(std::move(source))
    , m_onChange(std::move(onChange))
{
    build(nullptr);
}

RecorderView::RecorderView(RecorderServices &services, const QString &label, ShortcutSource source,
                           OnChange onChange, QWidget *parent)
    : RecorderView(services, [&] {
          auto *text = new QLabel(label);
          text->setTextFormat(Qt::PlainText);
          return text;
      }(), std::move(source), std::move(onChange), parent)
{
}

RecorderView::RecorderView(RecorderServices &services, QWidget *label, ShortcutSource source, OnChange onChange,
                           QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_source(std::move(source))
    , m_onChange(std::move(onChange))
{
    build(label);
}

void RecorderView::build(QWidget *label)
{
    auto changed = [this](const std::optional<GlobalShortcuts::Shortcut> &shortcut) { fieldChanged(shortcut); };
    if (const auto *name = std::get_if<GlobalShortcuts::Name>(&m_source))
        m_field = new RecorderField(m_services, *name, changed);
    else
        m_field = new RecorderField(m_services, std::get<ShortcutBinding>(m_source).get(), changed);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (label) {
        m_hasLabel = true;
        layout->addWidget(new LabeledRow(label, m_field));
    } else {
        layout->addWidget(m_field);
    }
    setFocusProxy(m_field);
    applyConflictPolicy();
}

void RecorderView::fieldChanged(const std::optional<GlobalShortcuts::Shortcut> &shortcut)
{
    // The owner's value first, so that its callback already reads the new shortcut.
    if (const auto *binding = std::get_if<ShortcutBinding>(&m_source); binding && binding->set)
        binding->set(shortcut);
    if (m_onChange)
        m_onChange(shortcut);
}

void RecorderView::setValidateShortcut(Validator validator)
{
    m_validateShortcut = std::move(validator);
    m_field->setValidateShortcut(m_validateShortcut);
}

void RecorderView::setOnChange(OnChange onChange)
{
    m_onChange = std::move(onChange);
}

void RecorderView::setSource(ShortcutSource source)
{
    m_source = std::move(source);
    update();
}

void RecorderView::update()
{
    m_field->setValidateShortcut(m_validateShortcut);
    applyConflictPolicy();
    if (const auto *name = std::get_if<GlobalShortcuts::Name>(&m_source)) {
        m_field->setShortcutName(*name);
        return;
    }
    const auto &binding = std::get<ShortcutBinding>(m_source);
    const auto bound = binding.get ? binding.get() : std::nullopt;
    if (bound != m_field->shortcut())
        m_field->setShortcut(bound);
}

void RecorderView::applyConflictPolicy()
{
    m_field->setConflictPolicy(ui::Environment::of(this).value(globalShortcutsConflictPolicyKey));
}

bool RecorderView::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType() || event->type() == QEvent::ParentChange)
        applyConflictPolicy();
    return QWidget::event(event);
}

} // namespace vantora::recorder
