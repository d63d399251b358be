#include "ui/WindowPalettes.h"

#include "ui/EnvironmentKeys.h"

#include "ui/PaintProbe.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

using namespace vantora::ui;
using vantora::testing::meanLuminance;

namespace {

class WindowPalettesTest : public ::testing::Test {
protected:
    void SetUp() override { Environment::root().set(colorSchemeKey, ColorScheme::Dark); }
    void TearDown() override { Environment::root().unset(colorSchemeKey); }

    WindowPalettes palettes;
};

} // namespace

TEST_F(WindowPalettesTest, StockWindowsOpenInTheSchemeAndFollowItWhileOpen)
{
    QWidget owner;
    owner.show();
    auto *field = new QLineEdit("192.168.1.20", &owner);
    const std::pair<const char *, QWidget *> windows[] = {
        {"a message box", new QMessageBox(QMessageBox::Warning, "Reset connection?", "The saved bridge is forgotten.",
                                          QMessageBox::Ok | QMessageBox::Cancel, &owner)},
        {"a text field's edit menu", field->createStandardContextMenu()},
        {"a save dialog", new QFileDialog(&owner)},
    };
    for (const auto &[name, window] : windows) {
        SCOPED_TRACE(name);
        Environment::root().set(colorSchemeKey, ColorScheme::Dark);
        window->show();
        EXPECT_LT(meanLuminance(window->grab().toImage()), 0.35);
        Environment::root().set(colorSchemeKey, ColorScheme::Light);
        EXPECT_GT(meanLuminance(window->grab().toImage()), 0.7);
        window->hide();
    }
}

// The style etches disabled text with a lighter copy beside it, which on a dark menu reads as
// a blurred double of the entry: the entry's ink reaches a pixel further than its text's.
TEST_F(WindowPalettesTest, ADisabledMenuEntryIsItsTextAlone)
{
    QWidget owner;
    owner.show();
    QMenu menu(&owner);
    QAction *enabled = menu.addAction("Reset connection…");
    QAction *disabled = menu.addAction("Reset connection…");
    disabled->setEnabled(false);
    menu.popup(QPoint(10, 10));
    const QImage shot = menu.grab().toImage();
    const auto inkWidth = [&shot, &menu](QAction *entry) {
        // Clear of the menu's frame, which the entries' rectangles may reach.
        const QRect area = menu.actionGeometry(entry).adjusted(2, 2, -2, -2);
        const int ground = qGray(shot.pixel(area.topRight()));
        int left = area.right(), right = area.left();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (std::abs(qGray(shot.pixel(x, y)) - ground) > 8)
                    left = std::min(left, x), right = std::max(right, x);
            }
        }
        return right - left;
    };
    EXPECT_EQ(inkWidth(disabled), inkWidth(enabled));
}
