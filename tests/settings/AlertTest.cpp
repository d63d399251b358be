#include "settings/Alert.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
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
        if (!label->text().isEmpty())
            EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
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
