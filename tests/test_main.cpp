#include <QApplication>
#include <gtest/gtest.h>

// Widget tests need one QApplication for the whole run; they draw offscreen.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
