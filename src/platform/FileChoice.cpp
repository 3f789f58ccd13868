#include "platform/FileChoice.h"

#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Messages.h"

namespace {

void refuse(Messages& messages, const FileDialogSettings& dialog, const QString& reason)
{
    messages.show({dialog.fileName + reason, dialog.title, MsgButtons::Ok, MsgIcon::Exclamation,
                   MsgAnswer::Ok});
}

template <typename Show>
bool chooseWritable(Files& files, Messages& messages, FileDialogSettings& dialog, Show show)
{
    while (show(dialog)) {
        if (mayWriteChosenFile(files, messages, dialog))
            return true;
    }
    return false;
}

} // namespace

bool mayWriteChosenFile(Files& files, Messages& messages, const FileDialogSettings& dialog)
{
    if (!files.folderExists(dialog.fileName)) {
        refuse(messages, dialog,
               QStringLiteral("\n保存先のフォルダーが存在しません。\n"
                              "別のフォルダーを選んで下さい。"));
        return false;
    }
    if (files.isWritable(dialog.fileName))
        return true;
    refuse(messages, dialog,
           QStringLiteral("\nこのファイルは書き込み禁止に設定されています。\n"
                          "別のファイルを選んで下さい。"));
    return false;
}

bool chooseOpenFile(FileDialogs& dialogs, Files& files, Messages& messages,
                    FileDialogSettings& dialog)
{
    return chooseWritable(files, messages, dialog,
                          [&](FileDialogSettings& d) { return dialogs.openFile(d); });
}

bool chooseSaveFile(FileDialogs& dialogs, Files& files, Messages& messages,
                    FileDialogSettings& dialog)
{
    return chooseWritable(files, messages, dialog,
                          [&](FileDialogSettings& d) { return dialogs.saveFile(d); });
}
