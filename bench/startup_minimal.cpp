// The yardstick: the least a Qt program does to show a window with two tabs, each holding a
// plain text editor, quitting once it has first painted (or left open with `--stay`, for a bench
// that ends it itself).
#include "QuitOnFirstPaint.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTabWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTabWidget tabs;
    tabs.addTab(new QPlainTextEdit, QStringLiteral("今日の日記編集"));
    tabs.addTab(new QPlainTextEdit, QStringLiteral("日記ファイル全体編集"));
    tabs.resize(560, 385);
    if (!QCoreApplication::arguments().contains(QStringLiteral("--stay")))
        new QuitOnFirstPaint(&tabs);
    tabs.show();
    return app.exec();
}
