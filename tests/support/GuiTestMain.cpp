#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

#include "LeakSuppressions.h"
#include "ui/KeyboardConventions.h"

// Widget tests: a QApplication on the platform CTest sets (offscreen), with DejaVu Sans
// pinned so text metrics do not depend on the machine's fonts.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    QApplication::setFont(font);
    // Buttons and menus take the keys they take in the application.
    vantora::ui::KeyboardConventions::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
