#include "platform/FileChoice.h"

#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Messages.h"

namespace {

template <typename Show>
bool chooseWritable(Files& files, Messages& messages, FileDialogSettings& dialog, Show show)
{
    while (show(dialog)) {
        if (files.isWritable(dialog.fileName))
            return true;
        messages.show({dialog.fileName + QStringLiteral("\nこのファイルは書き込み禁止に設定されています。\n"
                                                         "別のファイルを選んで下さい。"),
                       dialog.title, MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok});
    }
    return false;
}

} // namespace

bool chooseOpenFile(FileDialogs& dialogs, Files& files, Messages& messages, FileDialogSettings& dialog)
{
    return chooseWritable(files, messages, dialog,
                          [&](FileDialogSettings& d) { return dialogs.openFile(d); });
}

bool chooseSaveFile(FileDialogs& dialogs, Files& files, Messages& messages, FileDialogSettings& dialog)
{
    return chooseWritable(files, messages, dialog,
                          [&](FileDialogSettings& d) { return dialogs.saveFile(d); });
}
