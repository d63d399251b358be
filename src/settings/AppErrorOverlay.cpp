#include "settings/AppErrorOverlay.h"

#include "settings/AppIssueNotice.h"

#include "store/HalvetStore.h"

#include <QVBoxLayout>

namespace vantora {

AppErrorOverlay::AppErrorOverlay(HalvetStore &store, QWidget *page, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_page(page)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(page);
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
        layout()->removeWidget(old);
        old->deleteLater();
        m_notice.clear();
    }
    if (issue) {
        m_notice = new AppIssueNotice(*issue, [this] { m_store.clearFailure(); }, this);
        static_cast<QVBoxLayout *>(layout())->insertWidget(0, m_notice);
        m_notice->show();
    }
}

} // namespace vantora
