#include "app/AppWindows.h"
#include "settings/AboutView.h"

#include "X11Testing.h"

#include <QProcess>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace vantora;
using vantora::testing::waitUntil;

namespace {

// One property of the window, as xprop prints it after its name.
QString property(const QWidget &window, const char *name)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()), QString::fromLatin1(name)});
    if (!xprop.waitForFinished(5000))
        return {};
    const QString output = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype equals = output.indexOf(u'=');
    return equals < 0 ? QString() : output.sliced(equals + 1).trimmed();
}

// What the window manager lets the user do with the window, as it tells pagers and taskbars.
QStringList allowedActions(const QWidget &window)
{
    QStringList actions = property(window, "_NET_WM_ALLOWED_ACTIONS").split(u',', Qt::SkipEmptyParts);
    for (QString &action : actions)
        action = action.trimmed();
    return actions;
}

// The Motif hints every window manager reads: flags, functions, decorations.
std::vector<unsigned> motifHints(const QWidget &window)
{
    std::vector<unsigned> values;
    for (const QString &value : property(window, "_MOTIF_WM_HINTS").split(u','))
        values.push_back(value.trimmed().toUInt(nullptr, 16));
    return values;
}

constexpr unsigned motifFunctionMaximise = 0x10;
constexpr unsigned motifDecorationMaximise = 0x40;

// The windows of one size, opened as the application opens them, under openbox: it offers
// to maximise or resize a window only when the window's hints allow it.
TEST(FixedSizeWindows, OfferNeitherMaximisingNorResizing)
{
    AppWindows windows({});
    windows.setContent(AppWindow::welcome, [](QWidget &) {
        auto *content = new QWidget;
        content->setFixedSize(440, 320);
        return content;
    });
    auto resizable = std::make_unique<QWidget>();
    struct Row {
        std::string name;
        std::function<QWidget *()> open;
        bool keepsItsSize;
    };
    const std::vector<Row> rows = {
        {"About", [] { return showAboutWindow(); }, true},
        {"an application window",
         [&windows] {
             windows.open(AppWindow::welcome);
             return windows.window(AppWindow::welcome);
         },
         true},
        // The probe itself: a window that may change size is offered both.
        {"a window that may resize",
         [&resizable] {
             resizable->resize(300, 200);
             resizable->show();
             return resizable.get();
         },
         false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget *window = row.open();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(waitUntil([window] { return allowedActions(*window).contains("_NET_WM_ACTION_CLOSE"); }));
        const QStringList actions = allowedActions(*window);
        for (const char *action :
             {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT", "_NET_WM_ACTION_RESIZE"})
            EXPECT_EQ(actions.contains(action), !row.keepsItsSize) << action << ": " << actions.join(' ').toStdString();
        // Window managers that draw a maximise button by the Motif hints alone draw none.
        const std::vector<unsigned> motif = motifHints(*window);
        ASSERT_EQ(motif.size(), 5u);
        EXPECT_EQ((motif[1] & motifFunctionMaximise) != 0, !row.keepsItsSize);
        EXPECT_EQ((motif[2] & motifDecorationMaximise) != 0, !row.keepsItsSize);
        window->close();
    }
}

} // namespace
