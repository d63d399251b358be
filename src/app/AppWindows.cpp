#include "app/AppWindows.h"

#include "ui/FixedSizeWindow.h"

#include <QLayout>
#include <QVBoxLayout>
#include <QWidget>

namespace vantora {

AppWindows::AppWindows(WindowSetup setup, QObject *parent) : QObject(parent), m_setup(std::move(setup)) {}

AppWindows::~AppWindows()
{
    for (auto &[id, window] : m_open)
        delete window.data();
}

void AppWindows::setContent(AppWindow window, ContentFactory factory)
{
    m_factories[window] = std::move(factory);
}

QWidget *AppWindows::window(AppWindow window) const
{
    const auto found = m_open.find(window);
    return found == m_open.end() ? nullptr : found->second.data();
}

bool AppWindows::open(AppWindow id)
{
    QWidget *shown = window(id);
    if (!shown) {
        const auto factory = m_factories.find(id);
        if (factory == m_factories.end())
            return false;
        shown = new QWidget;
        ui::makeFixedSizeWindow(*shown);
        shown->setAttribute(Qt::WA_DeleteOnClose);
        shown->setObjectName(idOf(id));
        shown->setWindowTitle(titleOf(id));
        auto *layout = new QVBoxLayout(shown);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSizeConstraint(QLayout::SetFixedSize);
        if (m_setup)
            m_setup(*shown);
        layout->addWidget(factory->second(*shown));
        m_open[id] = shown;
    }
    shown->show();
    shown->raise();
    shown->activateWindow();
    return true;
}

} // namespace vantora
