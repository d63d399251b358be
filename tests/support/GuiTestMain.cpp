#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

// Widget tests: a QApplication on the platform CTest sets (offscreen), with DejaVu Sans
// pinned so text metrics do not depend on the machine's fonts.
int main(int argc, char **argv)
{
    // Test discovery lists the cases outside CTest's environment, where no platform is set.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    QApplication::setFont(font);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
