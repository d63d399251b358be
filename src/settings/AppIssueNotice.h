#pragma once

#include "settings/ErrorReportSheet.h"

#include "store/AppIssue.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace vantora {

class AppErrorBanner;
class ApplicationInfo;
class SheetOverlay;

// The banner for one unexpected issue, with room around it. "View details" opens the issue's
// report as a sheet over the whole window; the report's "Done" closes it and then dismisses
// the issue. An issue that explains what the person can do lasts until that is done: its
// banner has no close button, and "Done" closes the report alone. The sheet goes with the
// notice, so an issue cleared elsewhere closes both.
class AppIssueNotice final : public QWidget {
    Q_OBJECT
public:
    AppIssueNotice(AppIssue issue, std::function<void()> dismiss, QWidget *parent = nullptr);
    AppIssueNotice(AppIssue issue, std::function<void()> dismiss, const ApplicationInfo &info,
                   ReportHandOver handOver, QWidget *parent = nullptr);
    ~AppIssueNotice() override;

    const AppIssue &issue() const noexcept { return m_issue; }
    AppErrorBanner *banner() const noexcept { return m_banner; }
    // The open report, if any.
    ErrorReportSheet *report() const;

    void showReport();
    // Closes the report without dismissing the issue.
    void closeReport();

private:
    AppIssue m_issue;
    std::function<void()> m_dismiss;
    const ApplicationInfo &m_info;
    ReportHandOver m_handOver;
    AppErrorBanner *m_banner;
    QPointer<SheetOverlay> m_sheet;
    QPointer<ErrorReportSheet> m_report;
};

} // namespace vantora
