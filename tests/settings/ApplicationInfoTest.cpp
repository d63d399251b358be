#include "settings/AboutView.h"
#include "settings/ApplicationInfo.h"

#include "ui/PlainToolTip.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantora;

namespace {

BuildFacts facts(QString version, QString build, QString supportEmail = "help@vantora.example")
{
    return {std::move(version), std::move(build), std::move(supportEmail), "vantora.example", "vantora"};
}

QLabel *labelWithText(const QWidget &view, const QString &prefix)
{
    for (QLabel *label : view.findChildren<QLabel *>()) {
        if (label->text().startsWith(prefix))
            return label;
    }
    return nullptr;
}

QStringList linkTitles(const QWidget &view)
{
    QStringList titles;
    for (QAbstractButton *button : view.findChildren<QAbstractButton *>())
        titles << button->text();
    return titles;
}

} // namespace

TEST(ApplicationInfoTest, LeftOutFactsFallBack)
{
    struct Row {
        std::string name;
        BuildFacts facts;
        QString version;
        QString build;
        QString reportVersion;
    };
    const std::vector<Row> rows = {
        {"configured", facts("2.1.0", "42"), "2.1.0", "42", "2.1.0"},
        {"no version", facts("", "42"), "1.0.0", "42", "Development"},
        {"no build", facts("2.1.0", ""), "2.1.0", "1", "2.1.0"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ApplicationInfo info(row.facts);
        EXPECT_EQ(info.version(), row.version);
        EXPECT_EQ(info.build(), row.build);
        EXPECT_EQ(info.reportVersion(), row.reportVersion);
    }
}

TEST(ApplicationInfoTest, ASupportAddressNeedsAnAtSign)
{
    EXPECT_EQ(ApplicationInfo(facts("1", "1", "help@vantora.example")).supportMailURL(),
              QUrl("mailto:help@vantora.example"));
    EXPECT_EQ(ApplicationInfo(facts("1", "1", "@")).supportEmail(), QString("@"));
    EXPECT_EQ(ApplicationInfo(facts("1", "1", "help desk")).supportEmail(), std::nullopt);
    EXPECT_EQ(ApplicationInfo(facts("1", "1", "")).supportMailURL(), std::nullopt);
}

TEST(AboutViewTest, ShowsTheVersionWithTheBuildInItsTooltipAndFallsBackWhenLeftOut)
{
    const ApplicationInfo configured(facts("2.1.0", "42"));
    const ApplicationInfo bare(facts("", ""));
    const AboutView withFacts(configured, [](const QUrl &) { return true; });
    const AboutView withoutFacts(bare, [](const QUrl &) { return true; });

    QLabel *version = labelWithText(withFacts, "Version ");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), "Version 2.1.0");
    EXPECT_EQ(ui::plainToolTipOf(*version), "Build 42");
    EXPECT_TRUE(version->textInteractionFlags() & Qt::TextSelectableByMouse);
    // A reader reads a label's text, never its description: the build is in the line it reads.
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(version);
    EXPECT_EQ(element->text(QAccessible::Name), "Version 2.1.0, Build 42");
    EXPECT_EQ(element->text(QAccessible::Description), "") << "the build said twice";
    EXPECT_EQ(element->textInterface(), nullptr);

    QLabel *fallback = labelWithText(withoutFacts, "Version ");
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->text(), "Version 1.0.0");
    EXPECT_EQ(ui::plainToolTipOf(*fallback), "Build 1");
    EXPECT_EQ(withFacts.size(), AboutView::pageSize);
}

TEST(AboutViewTest, LinksOpenTheirAddressesAndTheSupportRowNeedsAnAddress)
{
    std::vector<QUrl> opened;
    const ApplicationInfo info(facts("1", "1"));
    const AboutView view(info, [&opened](const QUrl &url) {
        opened.push_back(url);
        return true;
    });
    EXPECT_EQ(linkTitles(view), QStringList({"help@vantora.example", "vantora.example", "@vantora"}));
    for (QAbstractButton *link : view.findChildren<QAbstractButton *>())
        QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(opened, (std::vector<QUrl>{info.supportMailURL().value(), info.websiteURL(), info.socialURL()}));

}

// A build left without an address or a host shows no row for it, and no link to a made-up
// address.
TEST(AboutViewTest, RowsAreOnlyForTheAddressesTheBuildNames)
{
    struct Row {
        std::string name;
        BuildFacts facts;
        QStringList titles;
    };
    const std::vector<Row> rows = {
        {"all", {"1", "1", "help@vantora.example", "vantora.example", "vantora"}, {"help@vantora.example", "vantora.example", "@vantora"}},
        {"no support address", {"1", "1", "", "vantora.example", "vantora"}, {"vantora.example", "@vantora"}},
        {"no web host", {"1", "1", "help@vantora.example", "", "vantora"}, {"help@vantora.example", "@vantora"}},
        {"no handle", {"1", "1", "help@vantora.example", "vantora.example", ""}, {"help@vantora.example", "vantora.example"}},
        {"handle written with its at sign", {"1", "1", "", "", "@vantora"}, {"@vantora"}},
        {"none", {"1", "1", "", "", ""}, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const ApplicationInfo info(row.facts);
        const AboutView view(info, [](const QUrl &) { return true; });
        EXPECT_EQ(linkTitles(view), row.titles);
        EXPECT_EQ(labelWithText(view, "Website") != nullptr, !row.facts.webHost.isEmpty());
        EXPECT_EQ(labelWithText(view, "Support") != nullptr, !row.facts.supportEmail.isEmpty());
        EXPECT_EQ(info.socialURL().isEmpty(), row.facts.socialHandle.isEmpty());
        for (QAbstractButton *link : view.findChildren<QAbstractButton *>())
            EXPECT_FALSE(link->text().isEmpty());
    }
    EXPECT_TRUE(ApplicationInfo({"1", "1", "", "", ""}).releaseManifestURL().isEmpty());
    EXPECT_EQ(ApplicationInfo({"1", "1", "", "", "@vantora"}).socialURL(), QUrl("https://x.com/vantora"));
}

TEST(AboutViewTest, EscapeClosesTheWindow)
{
    const ApplicationInfo info(facts("1", "1"));
    AboutView view(info, [](const QUrl &) { return true; });
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.activateWindow();
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_FALSE(view.isVisible());
}
