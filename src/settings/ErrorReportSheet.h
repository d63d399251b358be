#pragma once

#include "settings/UrlOpener.h"

#include "store/AppIssue.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;

namespace vantora {

class ApplicationInfo;

// Where the report goes when the user hands it over.
struct ReportHandOver final {
    // Asks where to save the report, proposing its file name; none when the user cancelled.
    std::function<std::optional<QString>(QWidget *parent)> chooseSaveLocation;
    UrlOpener openURL;

    // The desktop's save dialog (plain text files) and its mail program.
    static ReportHandOver desktop();
};

// The report of one unexpected failure for the user to review and hand to support: copy it,
// save it as a text file, or open a mail to the support address (offered only when the
// build has one). Each hand-over says how it went in a line under the report, and to a
// reader as it happens; only "Done" (also Return) ends the review, which the owner does on
// `done`.
class ErrorReportSheet final : public QWidget {
    Q_OBJECT
public:
    ErrorReportSheet(AppIssue issue, const ApplicationInfo &info, ReportHandOver handOver, QWidget *parent = nullptr);

    QString reportText() const;
    // The outcome of the last hand-over; none before the first.
    std::optional<QString> feedback() const;

    void copyReport();
    // Nothing happens, the feedback included, when the user cancels the location.
    void saveReport();
    void openEmail();

    QWidget *doneButton() const { return m_done; }

Q_SIGNALS:
    void done();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setFeedback(const QString &text);

    AppIssue m_issue;
    const ApplicationInfo &m_info;
    ReportHandOver m_handOver;
    QLabel *m_feedback;
    QWidget *m_done;
};

} // namespace vantora
