#include "StoreRig.h"

#include "settings/ApplicationInfo.h"
#include "settings/ErrorReport.h"
#include "settings/ErrorReportSheet.h"

#include "runtime/Errors.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace vantora;
using vantora::testing::StoreRig;

namespace {

const ApplicationInfo withSupport({"2.1.0", "42", "help@vantora.example", "vantora.example", ""});
const ApplicationInfo withoutSupport({"2.1.0", "42", "", "vantora.example", ""});

AppIssue sampleIssue()
{
    return AppIssue(AppIssue::Operation::refresh, QStringLiteral("unexpected-error"), runtime::WallTime{});
}

QStringList buttonTitles(const QWidget &sheet)
{
    QStringList titles;
    for (QPushButton *button : sheet.findChildren<QPushButton *>())
        titles << button->text();
    return titles;
}

QPushButton *button(const QWidget &sheet, const QString &title)
{
    for (QPushButton *candidate : sheet.findChildren<QPushButton *>()) {
        if (candidate->text() == title)
            return candidate;
    }
    return nullptr;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A sheet whose save dialog answers `location` and whose mail program answers `mailOpens`.
struct ReportSheetTest : ::testing::Test {
    std::optional<QString> location;
    bool mailOpens = true;
    std::vector<QUrl> opened;

    std::unique_ptr<ErrorReportSheet> sheet(const ApplicationInfo &info = withSupport)
    {
        return std::make_unique<ErrorReportSheet>(
            sampleIssue(), info,
            ReportHandOver{
                [this](QWidget *) { return location; },
                [this](const QUrl &url) {
                    opened.push_back(url);
                    return mailOpens;
                },
            });
    }
};

} // namespace

TEST(ErrorReportTest, LeavesOutAddressesKeysIdsAndNamesThatFailuresCarried)
{
    StoreRig rig;
    rig.storage.save(vantora::testing::sampleConnection());
    HalvetStore &store = rig.build();
    const QStringList privateTexts = {"192.168.1.20", "application-key-1", "001788fffe123456", "Kitchen Lamp",
                                      "Living Room", "Hue Bridge"};
    const QString everything = privateTexts.join(u' ');
    const std::vector<std::exception_ptr> failures = {
        std::make_exception_ptr(std::runtime_error(everything.toStdString())),
        std::make_exception_ptr(runtime::DecodingError(everything, everything)),
    };
    for (const std::exception_ptr &failure : failures) {
        store.recordFailure(failure, AppIssue::Operation::refresh, QStringLiteral("Kitchen Lamp"));
        ASSERT_TRUE(store.unexpectedIssue().has_value());
        const QString report = errorReport::text(*store.unexpectedIssue(), withSupport);
        EXPECT_TRUE(report.contains("App version: 2.1.0"));
        for (const QString &text : privateTexts)
            EXPECT_FALSE(report.contains(text, Qt::CaseInsensitive)) << text.toStdString();
    }
}

TEST(ErrorReportTest, AReportWithoutAVersionSaysDevelopment)
{
    const ApplicationInfo unversioned({"", "", "", "vantora.example", ""});
    EXPECT_TRUE(errorReport::text(sampleIssue(), unversioned).contains("App version: Development"));
}

TEST(ErrorReportTest, TheMailCarriesSubjectAndReportExactly)
{
    const QString report = QStringLiteral("Line one & two + three # four % five\nsecond line\r\n=end?é");
    const std::optional<QUrl> url = errorReport::mailURL(QStringLiteral("help@vantora.example"), report);
    ASSERT_TRUE(url.has_value());
    EXPECT_EQ(url->scheme(), "mailto");
    EXPECT_EQ(url->path(), "help@vantora.example");
    const QUrlQuery query(QUrl(QString::fromLatin1(url->toEncoded())));
    const auto items = query.queryItems(QUrl::FullyDecoded);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0], qMakePair(QString("subject"), QString("vantora error report")));
    EXPECT_EQ(items[1].first, "body");
    EXPECT_EQ(items[1].second, report);
    EXPECT_FALSE(url->query(QUrl::FullyEncoded).contains(u'+'));
    EXPECT_EQ(errorReport::mailURL({}, report), std::nullopt);
}

TEST(ErrorReportTest, SavingWritesUtf8AndReplacesAFileWhole)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(errorReport::proposedFileName());
    {
        QFile existing(path);
        existing.open(QIODevice::WriteOnly);
        existing.write(QByteArray(5000, 'x'));
    }
    const QString report = QStringLiteral("Café report\nline two");
    EXPECT_TRUE(errorReport::save(path, report));
    EXPECT_EQ(contentsOf(path), report.toUtf8());

    QFile blocker(folder.filePath("not-a-folder"));
    blocker.open(QIODevice::WriteOnly);
    EXPECT_FALSE(errorReport::save(folder.filePath("not-a-folder/report.txt"), report));
}

TEST_F(ReportSheetTest, OffersMailOnlyWithASupportAddress)
{
    const auto texts = [](const QWidget &sheet) {
        QStringList shown;
        for (const QLabel *label : sheet.findChildren<QLabel *>())
            shown << label->text();
        return shown;
    };
    const auto mailing = sheet(withSupport);
    EXPECT_EQ(buttonTitles(*mailing), QStringList({"Copy report", "Save…", "Open email", "Done"}));
    EXPECT_TRUE(texts(*mailing).contains("Review these details, then open an email to support."));
    // A build that names no address, as a default build does.
    const ApplicationInfo unaddressed({"2.1.0", "42", "", "", ""});
    const auto plain = sheet(unaddressed);
    EXPECT_EQ(buttonTitles(*plain), QStringList({"Copy report", "Save…", "Done"}));
    EXPECT_TRUE(texts(*plain).contains("Copy or save this report to share with support."));
    EXPECT_EQ(mailing->feedback(), std::nullopt);
}

TEST_F(ReportSheetTest, CopiesTheSameReportEachTime)
{
    const auto shown = sheet();
    shown->copyReport();
    const QString first = QApplication::clipboard()->text();
    shown->copyReport();
    EXPECT_EQ(QApplication::clipboard()->text(), first);
    EXPECT_EQ(first, shown->reportText());
    EXPECT_EQ(shown->feedback(), QString("Report copied."));
}

TEST_F(ReportSheetTest, SavingSaysHowItWentAndCancellingSaysNothing)
{
    QTemporaryDir folder;
    const auto shown = sheet();
    shown->copyReport();

    location.reset();
    shown->saveReport();
    EXPECT_EQ(shown->feedback(), QString("Report copied."));

    location = folder.filePath("report.txt");
    shown->saveReport();
    EXPECT_EQ(shown->feedback(), QString("Report saved."));
    EXPECT_EQ(contentsOf(*location), shown->reportText().toUtf8());

    location = folder.filePath("missing/folder/report.txt");
    shown->saveReport();
    EXPECT_EQ(shown->feedback(), QString("Couldn’t save the report. Try another location or copy it instead."));
}

TEST_F(ReportSheetTest, OpensAMailWithTheReportOrSaysItCouldNot)
{
    const auto shown = sheet();
    QTest::mouseClick(button(*shown, "Open email"), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(QUrlQuery(opened[0]).queryItemValue("body", QUrl::FullyDecoded), shown->reportText());
    EXPECT_EQ(shown->feedback(), QString("Review and send the email in your mail app."));

    mailOpens = false;
    shown->openEmail();
    EXPECT_EQ(shown->feedback(), QString("Couldn’t open a mail app. Copy or save the report instead."));
}

// Return ends the review from anywhere but another button, which it presses instead.
TEST_F(ReportSheetTest, DoneAndReturnEndTheReview)
{
    const auto shown = sheet();
    int done = 0;
    QObject::connect(shown.get(), &ErrorReportSheet::done, [&done] { ++done; });
    QTest::mouseClick(button(*shown, "Done"), Qt::LeftButton);
    QTest::keyClick(shown.get(), Qt::Key_Return);
    EXPECT_EQ(done, 2);
    button(*shown, "Copy report")->setFocus();
    QTest::keyClick(button(*shown, "Copy report"), Qt::Key_Return);
    EXPECT_EQ(done, 2);
    EXPECT_EQ(shown->feedback(), QString("Report copied."));
}

// The report box breaks a line only where the next word would not fit: no sentence breaks at
// a fixed place, whatever the box's width.
TEST_F(ReportSheetTest, TheReportWrapsAtTheBoxWidthOnly)
{
    const auto shown = sheet();
    shown->setFixedWidth(432);
    shown->show();
    auto *box = shown->findChild<QPlainTextEdit *>();
    ASSERT_NE(box, nullptr);
    QCoreApplication::processEvents();

    const qreal width = box->viewport()->width() - 2 * box->document()->documentMargin();
    const QFontMetricsF metrics(box->font());
    bool footerSeen = false;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        SCOPED_TRACE(text.toStdString());
        footerSeen |= text.startsWith("This report excludes");
        EXPECT_FALSE(text.endsWith(',')) << "a sentence broken by a line break";
        const QTextLayout *layout = block.layout();
        for (int i = 0; i + 1 < layout->lineCount(); ++i) {
            const QTextLine next = layout->lineAt(i + 1);
            const QString nextWord = text.mid(next.textStart(), next.textLength()).section(' ', 0, 0);
            EXPECT_GT(layout->lineAt(i).naturalTextWidth() + metrics.horizontalAdvance(' ' + nextWord), width)
                << "line " << i << " broke before \"" << nextWord.toStdString() << "\", which fitted";
        }
    }
    EXPECT_TRUE(footerSeen);
    // What leaves the sheet keeps the report's own lines.
    EXPECT_TRUE(shown->reportText().contains("light names,\nroom names"));
}

// The save dialog opens where the dialog itself would (where the user saved last), never in a
// folder of the sheet's choosing, and offers the report's name.
TEST(ErrorReportSaveDialog, OpensWhereTheUserWasLastAndProposesTheName)
{
    QTemporaryDir visited;
    ErrorReportSheet sheet(sampleIssue(), withSupport, ReportHandOver::desktop());
    sheet.show();
    struct Seen {
        QString folder;
        QStringList files;
    };
    // Answers the dialog that the next press opens: it goes to `goTo` and is cancelled.
    const auto pressSave = [&sheet](const QString &goTo) {
        Seen seen;
        QTimer::singleShot(0, [&seen, goTo] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = {dialog->directory().absolutePath(), dialog->selectedFiles()};
            if (!goTo.isEmpty())
                dialog->setDirectory(goTo);
            dialog->reject();
        });
        QTest::mouseClick(button(sheet, "Save…"), Qt::LeftButton);
        return seen;
    };

    const Seen first = pressSave(visited.path());
    ASSERT_EQ(first.files.size(), 1);
    EXPECT_EQ(QFileInfo(first.files[0]).fileName(), "vantora-error-report.txt");
    const Seen second = pressSave({});
    EXPECT_EQ(second.folder.toStdString(), QDir(visited.path()).absolutePath().toStdString());
    EXPECT_EQ(sheet.feedback(), std::nullopt);
}
