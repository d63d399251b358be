#include "settings/AppErrorOverlay.h"

#include "settings/AppIssueNotice.h"

#include "store/HalvetStore.h"

#include <QBoxLayout>
#include <QEvent>
#include <QVBoxLayout>

namespace vantora {

AppErrorOverlay::AppErrorOverlay(HalvetStore &store, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    connect(&store, &HalvetStore::unexpectedIssueChanged, this, &AppErrorOverlay::follow);
    follow();
}

void AppErrorOverlay::follow()
{
    const std::optional<AppIssue> &issue = m_store.unexpectedIssue();
    if (m_notice && issue && m_notice->issue() == *issue)
        return;
    // A new issue gets a new notice, its report closed. The old one may be the one whose
    // button cleared the issue, so it goes on the next turn.
    if (AppIssueNotice *old = m_notice) {
        old->closeReport();
        old->hide();
        old->deleteLater();
        m_notice.clear();
    }
    if (issue) {
        m_notice = new AppIssueNotice(*issue, [this] { m_store.clearFailure(); }, this);
        layout()->addWidget(m_notice);
    }
    setVisible(issue.has_value());
    placeOverPage();
}

void AppErrorOverlay::floatOver(QWidget *page)
{
    m_page = page;
    page->installEventFilter(this);
    placeOverPage();
}

void AppErrorOverlay::placeOverPage()
{
    if (!m_page)
        return;
    resize(m_page->width(), sizeHint().height());
    raise();
}

bool AppErrorOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_page && event->type() == QEvent::Resize)
        placeOverPage();
    return QWidget::eventFilter(watched, event);
}

void installErrorOverlay(QWidget *page, HalvetStore &store)
{
    auto *overlay = new AppErrorOverlay(store, page);
    if (auto *column = qobject_cast<QBoxLayout *>(page->layout());
        column && column->direction() == QBoxLayout::TopToBottom) {
        column->insertWidget(0, overlay);
        return;
    }
    overlay->floatOver(page);
}

} // namespace vantora
