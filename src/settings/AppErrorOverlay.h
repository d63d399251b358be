#pragma once

#include <QPointer>
#include <QWidget>

namespace vantora {

class AppIssueNotice;
class HalvetStore;

// The place above a page where the notice of the store's unexpected issue shows while there
// is one; with none it is hidden and takes no room. Closing the notice, or "Done" in its
// report, clears the store's whole failure state.
class AppErrorOverlay final : public QWidget {
    Q_OBJECT
public:
    explicit AppErrorOverlay(HalvetStore &store, QWidget *parent = nullptr);

    AppIssueNotice *notice() const { return m_notice; }
    // Keeps the overlay along the top edge of `page`, its parent, over whatever is there.
    void floatOver(QWidget *page);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow();
    void placeOverPage();

    HalvetStore &m_store;
    QPointer<AppIssueNotice> m_notice;
    QPointer<QWidget> m_page;
};

// Gives `page` an error overlay. A page laid out in a column gets it as the column's first
// row, so the notice pushes the page down; a page of fixed layout (the welcome stage) gets
// it floating along its top edge, over the strip the panel is dragged by.
void installErrorOverlay(QWidget *page, HalvetStore &store);

} // namespace vantora
