#include "settings/ErrorReport.h"

#include "settings/ApplicationInfo.h"

#include "store/AppIssue.h"

#include <QSaveFile>
#include <QSysInfo>

namespace vantora::errorReport {

QString text(const AppIssue &issue, const ApplicationInfo &info)
{
    return issue.report(info.reportVersion(), QSysInfo::prettyProductName());
}

QString displayText(const QString &report)
{
    QString shown = report;
    for (qsizetype at = shown.indexOf(QLatin1String(",\n")); at >= 0; at = shown.indexOf(QLatin1String(",\n"), at))
        shown[++at] = QLatin1Char(' ');
    return shown;
}

QString proposedFileName()
{
    return QStringLiteral("vantora-error-report.txt");
}

bool save(const QString &path, const QString &report)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(report.toUtf8());
    return file.commit();
}

std::optional<QUrl> mailURL(const QString &address, const QString &report)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(address);
    // Each value encoded in full: a mail program reads "+" as a space and stops a value at
    // "&" or "#".
    const QByteArray query = "subject=" + QUrl::toPercentEncoding(QStringLiteral("vantora error report"))
        + "&body=" + QUrl::toPercentEncoding(report);
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    if (!url.isValid() || address.isEmpty())
        return std::nullopt;
    return url;
}

} // namespace vantora::errorReport
