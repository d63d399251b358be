#include "settings/Alert.h"
#include "ActiveWindow.h"
#include "AlertPresenters.h"

#include "ui/MessageBoxIcon.h"
#include "ui/MessageBoxText.h"
#include "settings/AboutView.h"

#include "ui/MessageText.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace vantora;

namespace {

QMessageBox *openBox(const QWidget &window)
{
    return window.findChild<QMessageBox *>();
}

QAbstractButton *buttonTitled(QMessageBox *box, const QString &title)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == title)
            return button;
    }
    return nullptr;
}

// Whether `text` shows its every line in `box`: none runs past its right edge or the box's,
// and its height holds them all.
bool showsWhole(const ui::MessageText &text, const QWidget &box)
{
    const int right = text.mapTo(&box, QPoint()).x() + text.width();
    return right <= box.width() && text.document()->idealWidth() <= text.width()
        && text.heightForWidth(text.width()) <= text.height();
}

} // namespace

TEST(MessageBoxAlertsTest, AnswersByTheButtonPressedWhereverTheDesktopPutsIt)
{
    enum class Press { confirm, cancel, returnKey, escapeKey };
    struct Row {
        std::string name;
        Alert::ReturnKey returnKey;
        Press press;
        AlertAnswer answer;
    };
    const std::vector<Row> rows = {
        {"confirm button", Alert::ReturnKey::cancels, Press::confirm, AlertAnswer::confirmed},
        {"cancel button", Alert::ReturnKey::confirms, Press::cancel, AlertAnswer::cancelled},
        {"return that cancels", Alert::ReturnKey::cancels, Press::returnKey, AlertAnswer::cancelled},
        {"return that confirms", Alert::ReturnKey::confirms, Press::returnKey, AlertAnswer::confirmed},
        {"escape", Alert::ReturnKey::confirms, Press::escapeKey, AlertAnswer::cancelled},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget window;
        window.show();
        std::optional<AlertAnswer> answer;
        Alert alert{"Reset?", "<b>not bold</b>", "Reset", QString("Cancel"), Alert::Style::warning, row.returnKey};
        MessageBoxAlerts().present(alert, &window, [&answer](AlertAnswer given) { answer = given; });
        QMessageBox *box = openBox(window);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(answer, std::nullopt);
        switch (row.press) {
        case Press::confirm: QTest::mouseClick(buttonTitled(box, "Reset"), Qt::LeftButton); break;
        case Press::cancel: QTest::mouseClick(buttonTitled(box, "Cancel"), Qt::LeftButton); break;
        case Press::returnKey: QTest::keyClick(box, Qt::Key_Return); break;
        case Press::escapeKey: QTest::keyClick(box, Qt::Key_Escape); break;
        }
        EXPECT_EQ(answer, row.answer);
    }
}

TEST(MessageBoxAlertsTest, ShowsEveryTextAsPlainText)
{
    QWidget window;
    window.show();
    MessageBoxAlerts().present(Alert::notice("<i>vantora 2</i> is available", "<b>Later</b>"), &window,
                               [](AlertAnswer) {});
    QMessageBox *box = openBox(window);
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->buttons()[0]->text(), "OK");
    for (QLabel *label : box->findChildren<QLabel *>()) {
        if (!label->text().isEmpty()) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
        }
    }
    box->close();
}

TEST(MessageBoxAlertsTest, ABoxThatGoesWithItsWindowAnswersCancelled)
{
    auto window = std::make_unique<QWidget>();
    window->show();
    std::vector<AlertAnswer> answers;
    MessageBoxAlerts().present(Alert::notice("Title", "Message"), window.get(),
                               [&answers](AlertAnswer given) { answers.push_back(given); });
    window.reset();
    EXPECT_EQ(answers, std::vector<AlertAnswer>{AlertAnswer::cancelled});
}

// Whatever window opens over the user's work, alert or About, the keys are back on the control
// the user was on once it closes: the window manager would hand the activation to a window of
// its own choosing, if any. About opens on its version, a control that reads it out.
TEST(MessageBoxAlertsTest, TheFocusIsBackWhereItWasAfterEveryAlertAndAbout)
{
    struct Row {
        std::string name;
        std::function<QWidget *(QWidget *origin)> open;
        Qt::Key closingKey;
    };
    const auto openedBox = [](const vantora::testing::AlertPresenter &presenter) {
        return [&presenter](QWidget *origin) -> QWidget * {
            presenter.present(origin);
            return origin->window()->findChild<QMessageBox *>();
        };
    };
    std::vector<Row> rows;
    for (const vantora::testing::AlertPresenter &presenter : vantora::testing::alertPresenters) {
        // The reset question leaves the activation to the window manager: asked from the
        // tray's menu, taking it back for the panel raced the window the manager chose.
        if (std::string_view(presenter.name) == "the reset question")
            continue;
        rows.push_back({std::string(presenter.name) + ", Escape", openedBox(presenter), Qt::Key_Escape});
        rows.push_back({std::string(presenter.name) + ", Return", openedBox(presenter), Qt::Key_Return});
    }
    rows.push_back({"About, Escape", [](QWidget *) { return showAboutWindow(); }, Qt::Key_Escape});
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QWidget window;
        new QPushButton("First", &window);
        auto *second = new QPushButton("Second", &window);
        second->move(0, 40);
        vantora::testing::activate(window);
        second->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), second);

        QPointer<QWidget> opened = row.open(second);
        ASSERT_NE(opened, nullptr);
        vantora::testing::activate(*opened);
        ASSERT_TRUE(QTest::qWaitFor([&opened] { return opened->isAncestorOf(QApplication::focusWidget()); }, 5000))
            << "nothing in the opened window has the focus";
        if (qobject_cast<QMessageBox *>(opened) == nullptr) {
            // A panel that closes when another window of its own takes the activation would
            // close under an About of no window's.
            EXPECT_EQ(opened->parentWidget(), &window) << "About belongs to no window";
            QAccessibleInterface *first = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
            EXPECT_TRUE(first->text(QAccessible::Name).startsWith("Version"))
                << first->text(QAccessible::Name).toStdString();
            QWidget *before = QApplication::focusWidget();
            QTest::keyClick(before, Qt::Key_Tab);
            EXPECT_NE(QApplication::focusWidget(), before) << "Tab stays put";
        }
        QTest::keyClick(QApplication::focusWidget(), row.closingKey);

        EXPECT_TRUE(QTest::qWaitFor([&opened] { return !opened || !opened->isVisible(); }, 5000));
        EXPECT_TRUE(QTest::qWaitFor([second] { return QApplication::focusWidget() == second; }, 5000))
            << "the focus is on " << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "nothing");
        EXPECT_TRUE(window.isVisible()) << "the window beneath closed too";
        delete opened.data();
    }
}

// An alert belongs to the window the user sees it asked from. The tray's panel after it
// closed (or before it ever opened) would take the alert to the panel's old or unset place.
TEST(MessageBoxAlertsTest, BelongToTheVisibleWindowThatAskedElseStandCentredOnTheScreen)
{
    for (const vantora::testing::AlertPresenter &presenter : vantora::testing::alertPresenters) {
        for (const bool windowShown : {true, false}) {
            SCOPED_TRACE(std::string(presenter.name) + (windowShown ? ", window shown" : ", window hidden"));
            QWidget window;
            window.setGeometry(20, 20, 200, 120);
            auto *origin = new QWidget(&window);
            window.show();
            if (!windowShown)
                window.hide();

            presenter.present(origin);
            QMessageBox *box = nullptr;
            for (QWidget *widget : QApplication::topLevelWidgets())
                box = box ? box : qobject_cast<QMessageBox *>(widget);
            if (!box)
                box = openBox(window);
            ASSERT_NE(box, nullptr);
            ASSERT_TRUE(box->isVisible());
            if (windowShown) {
                EXPECT_EQ(box->parentWidget(), &window);
                EXPECT_EQ(box->windowModality(), Qt::WindowModal);
            } else {
                EXPECT_EQ(box->parentWidget(), nullptr);
                const QPoint offCentre =
                    box->frameGeometry().center() - box->screen()->availableGeometry().center();
                EXPECT_LE(offCentre.manhattanLength(), 2) << offCentre.x() << "," << offCentre.y();
            }
            delete box;
        }
    }
}

// The box is as wide as its title; a failure's message names a web address, which wrapping
// would break after a slash.
TEST(MessageBoxAlertsTest, KeepsEveryWordOfTheMessageOnOneLine)
{
    const QString address = "vantora.example/releases/latest/downloads/.";
    QWidget window;
    window.show();
    MessageBoxAlerts().present(Alert::notice("Couldn’t check", "Find releases at " + address), &window,
                               [](AlertAnswer) {});
    QMessageBox *box = openBox(window);
    ASSERT_NE(box, nullptr);
    auto *message = box->findChild<ui::MessageText *>();
    ASSERT_NE(message, nullptr);
    EXPECT_GE(message->width(), message->fontMetrics().horizontalAdvance(address));
    box->close();
}

// A server's or the system's text may hold a word longer than any screen is wide; the box
// stays on the screen with its button in reach, and the text breaks or is cut instead.
TEST(MessageBoxAlertsTest, StayWithinTheScreenWhateverTheirText)
{
    const QString word(300, u'w');
    for (const Alert &alert : {Alert::notice("Couldn’t check for updates", "Find releases at " + word),
                               Alert::notice("vantora " + word + " is available", "Later.")}) {
        QWidget window;
        window.show();
        MessageBoxAlerts().present(alert, &window, [](AlertAnswer) {});
        QMessageBox *box = openBox(window);
        ASSERT_NE(box, nullptr);
        EXPECT_LE(box->width(), box->screen()->availableGeometry().width());
        QAbstractButton *ok = buttonTitled(box, "OK");
        EXPECT_TRUE(box->rect().contains(QRect(ok->mapTo(box, QPoint()), ok->size())));
        const QList<ui::MessageText *> texts = box->findChildren<ui::MessageText *>();
        EXPECT_EQ(texts.size(), 2);
        for (const ui::MessageText *text : texts)
            EXPECT_TRUE(showsWhole(*text, *box)) << text->objectName().toStdString() << " cuts its text off";
        delete box;
    }
}

// A person copies an address from an alert to look it up: what lands on the clipboard is the
// address, although it breaks over lines on the screen.
TEST(MessageBoxAlertsTest, CopyingATextGivesItAsItCame)
{
    const QString address = "https://updates.vantora.example/" + QString(147, u'x') + "/latest.json";
    ASSERT_EQ(address.size(), 191);
    QWidget window;
    window.show();
    const Alert alert = Alert::notice("Couldn’t check " + address, "Find releases at " + address);
    MessageBoxAlerts().present(alert, &window, [](AlertAnswer) {});
    QMessageBox *box = openBox(window);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    const QList<ui::MessageText *> texts = box->findChildren<ui::MessageText *>();
    ASSERT_EQ(texts.size(), 2);
    for (ui::MessageText *text : texts) {
        const QString written = text == texts.front() ? alert.title : alert.message;
        SCOPED_TRACE(written.toStdString());
        EXPECT_GE(text->document()->firstBlock().layout()->lineCount(), 2) << "the address does not break where it is drawn";
        QApplication::clipboard()->clear();
        QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text(), written);
    }
    EXPECT_EQ(box->informativeText(), alert.message);
    delete box;
}

// The box lays itself out anew when its icon, details or check box change and when its style
// changes; its texts stay in that layout, shown whole, beside the icon and above the buttons.
TEST(MessageBoxAlertsTest, TextsStayInTheLayoutWhateverChangesAfterThem)
{
    struct Row {
        std::string name;
        std::function<void(QMessageBox &)> change;
    };
    QProxyStyle otherStyle;
    const std::vector<Row> rows = {
        {"nothing", [](QMessageBox &) {}},
        {"a warning icon", [](QMessageBox &box) { box.setIcon(QMessageBox::Warning); }},
        {"the information icon", [](QMessageBox &box) { ui::setMessageIcon(box, QMessageBox::Information); }},
        {"details", [](QMessageBox &box) { box.setDetailedText("Bridge 001788fffe6a1b2c at 192.168.1.20"); }},
        {"a check box", [](QMessageBox &box) { box.setCheckBox(new QCheckBox("Don’t ask again")); }},
        {"the style", [&otherStyle](QMessageBox &box) { box.setStyle(&otherStyle); }},
        {"the style, then details", [&otherStyle](QMessageBox &box) {
             box.setStyle(&otherStyle);
             box.setDetailedText("More");
         }},
    };
    for (const bool shownFirst : {false, true}) {
        for (const Row &row : rows) {
            SCOPED_TRACE(row.name + (shownFirst ? ", while shown" : ", before it is shown"));
            QMessageBox box;
            box.setIcon(QMessageBox::Warning);
            ui::setPlainMessage(box, "Couldn’t reach the Bridge",
                                "Find the Bridge at vantora.example/bridges/latest/setup/. It may be off.");
            box.addButton("OK", QMessageBox::AcceptRole);
            if (shownFirst) {
                box.show();
                ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
            }
            row.change(box);
            box.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
            const QList<ui::MessageText *> texts = box.findChildren<ui::MessageText *>();
            ASSERT_EQ(texts.size(), 2);
            // A widget added to a shown box shows, and the box takes its size, a turn later;
            // the checks below tell what never came.
            static_cast<void>(QTest::qWaitFor([&] {
                return std::all_of(texts.begin(), texts.end(),
                                   [&](const ui::MessageText *text) { return showsWhole(*text, box); });
            }));
            QRect title, message;
            for (ui::MessageText *text : texts) {
                SCOPED_TRACE(text->objectName().toStdString());
                EXPECT_TRUE(text->isVisible());
                EXPECT_EQ(QAccessible::queryAccessibleInterface(text)->text(QAccessible::Name), text->toPlainText());
                EXPECT_GE(box.layout()->indexOf(text), 0);
                EXPECT_TRUE(showsWhole(*text, box));
                const QRect placed(text->mapTo(&box, QPoint()), text->size());
                EXPECT_TRUE(box.rect().contains(placed));
                for (QAbstractButton *button : box.buttons()) {
                    EXPECT_FALSE(placed.intersects(QRect(button->mapTo(&box, QPoint()), button->size())));
                }
                (text->toPlainText() == box.text() ? title : message) = placed;
            }
            EXPECT_LE(title.bottom(), message.top());
            for (const QLabel *label : box.findChildren<QLabel *>()) {
                if (label->text() == box.text() || label->text() == box.informativeText()) {
                    EXPECT_FALSE(label->isVisible()) << label->text().toStdString();
                }
            }
        }
    }
}
