#pragma once

#include <QPointer>
#include <QWidget>

namespace vantora {

class AppIssueNotice;
class HalvetStore;

// A page with the notice of the store's unexpected issue above it: a column that holds the
// notice while there is an issue, then the page. The notice pushes the page down and is never
// drawn over it, whatever the page's own layout; with no issue the column is the page alone.
// Closing the notice, or "Done" in its report, clears the store's whole failure state.
class AppErrorOverlay final : public QWidget {
    Q_OBJECT
public:
    // Takes `page` in as its child.
    AppErrorOverlay(HalvetStore &store, QWidget *page, QWidget *parent = nullptr);

    QWidget *page() const { return m_page; }
    AppIssueNotice *notice() const { return m_notice; }

private:
    void follow();

    HalvetStore &m_store;
    QPointer<QWidget> m_page;
    QPointer<AppIssueNotice> m_notice;
};

} // namespace vantora
