#include "settings/AppIssueNotice.h"

#include "settings/AppErrorBanner.h"
#include "settings/ApplicationInfo.h"

#include "welcome/SheetOverlay.h"

#include <QVBoxLayout>

#include <algorithm>

namespace vantora {

namespace {

constexpr QMargins padding{16, 8, 16, 8};
// As wide as the panel allows, for the report and its row of four buttons.
constexpr int reportCardWidth = 416;

} // namespace

AppIssueNotice::AppIssueNotice(AppIssue issue, std::function<void()> dismiss, QWidget *parent)
    : AppIssueNotice(std::move(issue), std::move(dismiss), ApplicationInfo::shared(), ReportHandOver::desktop(),
                     parent)
{
}

AppIssueNotice::AppIssueNotice(AppIssue issue, std::function<void()> dismiss, const ApplicationInfo &info,
                               ReportHandOver handOver, QWidget *parent)
    : QWidget(parent)
    , m_issue(std::move(issue))
    , m_dismiss(std::move(dismiss))
    , m_info(info)
    , m_handOver(std::move(handOver))
    , m_banner(new AppErrorBanner(m_issue.explanation, [this] { showReport(); },
                                  m_issue.explanation ? std::function<void()>() : [this] { m_dismiss(); }, this))
{
    auto *layout = new QVBoxLayout(this);
    // The banner's shadows take part of the room around it (a negative margin would ask
    // for the style's default).
    const QMargins shadows = AppErrorBanner::shadowMargins();
    layout->setContentsMargins(std::max(0, padding.left() - shadows.left()), std::max(0, padding.top() - shadows.top()),
                               std::max(0, padding.right() - shadows.right()),
                               std::max(0, padding.bottom() - shadows.bottom()));
    layout->addWidget(m_banner);
}

AppIssueNotice::~AppIssueNotice()
{
    closeReport();
}

ErrorReportSheet *AppIssueNotice::report() const
{
    return m_report;
}

void AppIssueNotice::showReport()
{
    if (m_sheet)
        return;
    auto *report = new ErrorReportSheet(m_issue, m_info, m_handOver);
    m_report = report;
    m_sheet = new SheetOverlay(report, window(), reportCardWidth);
    connect(report, &ErrorReportSheet::done, this, [this] {
        closeReport();
        if (!m_issue.explanation)
            m_dismiss();
    });
    // Escape puts the report away and keeps the issue, as the banner still tells of it.
    connect(m_sheet, &SheetOverlay::dismissRequested, this, &AppIssueNotice::closeReport);
    m_sheet->open(report->doneButton());
}

void AppIssueNotice::closeReport()
{
    // Later: the report may be the one asking to close.
    if (m_sheet) {
        m_sheet->hide();
        m_sheet->deleteLater();
    }
    m_sheet.clear();
}

} // namespace vantora
