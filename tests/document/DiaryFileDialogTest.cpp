#include "platform/QtPlatform.h"
#include "support/ModalCloser.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString htmlFilter =
    QStringLiteral("HTMLファイル(*.html,*.htm)|*.html;*.htm|テキストファイル(*.txt)|*.txt|"
                   "すべてのファイル(*.*)|*.*");

// The descriptions show exactly as written, each filter matches its own patterns (not the text
// in the description's parentheses), and the chosen filter is remembered.
TEST(DiaryFileDialog, FiltersShowTheirDescriptionsAndMatchTheirPatterns)
{
    QTemporaryDir dir;
    for (const char* name : {"a.html", "b.htm", "c.txt", "README"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    FileDialogSettings settings;
    settings.title = QStringLiteral("日記HTMLを開く");
    settings.filter = htmlFilter;
    settings.defaultExt = QStringLiteral("htm");
    settings.fileName = dir.filePath(QStringLiteral("c.txt"));

    QStringList shown;
    QList<QStringList> matched;
    QString title;
    ModalCloser closer([&](QDialog* d) {
        auto* dialog = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < combo->count(); ++i)
            shown.append(combo->itemText(i));
        // The patterns the dialog really lists files by, as it hands them to its model.
        auto* model = dialog->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        for (const QString& filter : dialog->nameFilters()) {
            dialog->selectNameFilter(filter);
            matched.append(QDir(dir.path()).entryList(model->nameFilters(), QDir::Files));
        }
        dialog->selectNameFilter(dialog->nameFilters().at(1));
        dialog->selectFile(settings.fileName);
        static_cast<QDialog*>(dialog)->accept(); // as the OK button does, without its checks
    });
    QtFileDialogs dialogs;
    ASSERT_TRUE(dialogs.openFile(settings));
    EXPECT_EQ(title, QStringLiteral("日記HTMLを開く"));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("HTMLファイル(*.html,*.htm)"),
                                  QStringLiteral("テキストファイル(*.txt)"),
                                  QStringLiteral("すべてのファイル(*.*)")}));
    ASSERT_EQ(matched.size(), 3);
    EXPECT_EQ(matched[0], (QStringList{QStringLiteral("a.html"), QStringLiteral("b.htm")}));
    EXPECT_EQ(matched[1], QStringList{QStringLiteral("c.txt")});
    EXPECT_EQ(matched[2].size(), 4) << matched[2].join(u' ').toStdString(); // README too
    EXPECT_EQ(settings.fileName, dir.filePath(QStringLiteral("c.txt")));
    EXPECT_EQ(settings.filterIndex, 2);
}

} // namespace
