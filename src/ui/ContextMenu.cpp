#include "ui/ContextMenu.h"

#include <QMenu>
#include <QWidget>

namespace vantora::ui {

namespace {

QString plainMenuText(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

} // namespace

QMenu *buildMenu(const std::vector<MenuEntry> &entries, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const MenuEntry &entry : entries) {
        switch (entry.kind) {
        case MenuEntry::Kind::Separator:
            menu->addSeparator();
            break;
        case MenuEntry::Kind::Label:
            menu->addAction(plainMenuText(entry.text))->setEnabled(false);
            break;
        case MenuEntry::Kind::Action: {
            QAction *action = menu->addAction(plainMenuText(entry.text));
            action->setEnabled(entry.enabled);
            if (entry.action)
                QObject::connect(action, &QAction::triggered, menu, entry.action);
            break;
        }
        }
    }
    return menu;
}

void installContextMenu(QWidget *widget, std::function<std::vector<MenuEntry>()> entries)
{
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, widget,
                     [widget, entries = std::move(entries)](const QPoint &position) {
                         buildMenu(entries(), widget)->popup(widget->mapToGlobal(position));
                     });
}

} // namespace vantora::ui
