#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Widget tests need one QApplication for the whole run; they draw offscreen. The per-user
// settings of the run go to a folder of its own, never to the tester's.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
