#include "platform/FileChoice.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

namespace {

TEST(FileChoice, WriteProtectedChoiceIsRefusedAndTheDialogComesBackAtThatName)
{
    for (const bool save : {false, true}) {
        FakePlatform fake;
        const QString locked = QStringLiteral("/home/w/locked.htm");
        const QString free = QStringLiteral("/home/w/free.htm");
        fake.files.files.insert(locked, "x");
        fake.files.readOnly.insert(locked);
        fake.fileDialogs.answers = {locked, free};
        fake.messages.answer({MsgAnswer::Ok});
        FileDialogSettings dialog;
        dialog.title = QStringLiteral("日記HTMLを開く");

        const bool chosen =
            save ? chooseSaveFile(fake.fileDialogs, fake.files, fake.messages, dialog)
                 : chooseOpenFile(fake.fileDialogs, fake.files, fake.messages, dialog);

        EXPECT_TRUE(chosen);
        EXPECT_EQ(dialog.fileName, free);
        const QList<FileDialogSettings>& shown =
            save ? fake.fileDialogs.saved : fake.fileDialogs.opened;
        ASSERT_EQ(shown.size(), 2);
        EXPECT_EQ(shown[1].fileName, locked);
        ASSERT_EQ(fake.messages.shown.size(), 1);
        EXPECT_TRUE(fake.messages.shown[0].text.startsWith(locked + u'\n'));
        EXPECT_EQ(fake.messages.shown[0].caption, dialog.title);
        EXPECT_EQ(fake.messages.shown[0].icon, MsgIcon::Exclamation);
    }
}

// Qt's save dialog takes a name typed into a folder that does not exist.
TEST(FileChoice, AMissingFolderIsNamedAsSuchNotAsWriteProtection)
{
    FakePlatform fake;
    const QString lost = QStringLiteral("/home/w/gone/d.txt");
    const QString free = QStringLiteral("/home/w/d.txt");
    fake.files.missingFolders.insert(QStringLiteral("/home/w/gone"));
    fake.fileDialogs.answers = {lost, free};
    fake.messages.answer({MsgAnswer::Ok});
    FileDialogSettings dialog;
    dialog.title = QStringLiteral("テキストファイルの保存先を指定");

    EXPECT_TRUE(chooseSaveFile(fake.fileDialogs, fake.files, fake.messages, dialog));
    EXPECT_EQ(dialog.fileName, free);
    ASSERT_EQ(fake.messages.shown.size(), 1);
    EXPECT_EQ(fake.messages.shown[0].text,
              lost
                  + QStringLiteral(
                      "\n保存先のフォルダーが存在しません。\n別のフォルダーを選んで下さい。"));
    EXPECT_EQ(fake.messages.shown[0].caption, dialog.title);
    EXPECT_EQ(fake.messages.shown[0].icon, MsgIcon::Exclamation);
}

TEST(FileChoice, CancelAfterARefusalChoosesNothing)
{
    FakePlatform fake;
    const QString locked = QStringLiteral("/home/w/locked.htm");
    fake.files.readOnly.insert(locked);
    fake.fileDialogs.answers = {locked, std::nullopt};
    fake.messages.answer({MsgAnswer::Ok});
    FileDialogSettings dialog;
    EXPECT_FALSE(chooseSaveFile(fake.fileDialogs, fake.files, fake.messages, dialog));
}

} // namespace
