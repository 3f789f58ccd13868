#include "app/OwnFolders.h"

#include "app/ProgramFolder.h"
#include "core/AppInfo.h"
#include "platform/Messages.h"
#include "storage/StateFolder.h"

OwnFolders checkOwnFolders(const QString& programFilePath)
{
    OwnFolders folders;
    const QString state = stateFolder();
    if (const QString why = folderDistrust(state); why.isEmpty()) {
        folders.state = state;
        folders.socketFallback = state;
        folders.setAside = setAsideForeignFiles(state);
    } else {
        folders.refusals.append(
            QStringLiteral("復元用のデータと、その場で書き換える保存の控えを置くフォルダー ")
            + state + QStringLiteral(" を使いません。\n") + why
            + QStringLiteral("\n保存していない内容は、異常終了すると失われます。"
                             "ハードリンクのある日記など、その場で書き換えるほかない"
                             "ファイルは保存できません。"));
    }
    folders.work = workFolderOf(programFilePath);
    if (folders.work == programFolderOf(programFilePath))
        return folders;
    if (const QString why = folderDistrust(folders.work); !why.isEmpty()) {
        folders.privateWork = std::make_unique<QTemporaryDir>();
        const QString instead = folders.privateWork->path() + u'/';
        folders.refusals.append(QStringLiteral("作業ファイルと基本テンプレートのフォルダー ")
                                + folders.work + QStringLiteral(" を使いません。\n") + why
                                + QStringLiteral("\n作業ファイルは一時フォルダー ") + instead
                                + QStringLiteral(" に作ります。"));
        folders.work = instead;
    }
    return folders;
}

void noteRuntimeRefusal(OwnFolders& folders, const QString& runtimeFolder, const QString& why)
{
    QString text = QStringLiteral("起動中の Pelmora を見つけるためのフォルダー ") + runtimeFolder
                   + QStringLiteral(" を使いません。\n") + why;
    if (!folders.socketFallback.isEmpty())
        text += QStringLiteral("\n代わりに ") + folders.socketFallback
                + QStringLiteral(" を使います。");
    else
        text += QStringLiteral("\n同じ日記を二つの Pelmora で開かないよう、気をつけてください。");
    folders.refusals.append(text);
}

void tellOwnFolders(Messages& messages, const OwnFolders& folders)
{
    QStringList parts = folders.refusals;
    if (!folders.setAside.isEmpty())
        parts.append(QStringLiteral("次のファイルは、ほかのユーザーのもの、リンク、またはほかの"
                                    "ユーザーも読み書きできるものだったため、使わずに"
                                    "置いてあります：\n")
                     + folders.setAside.join(u'\n'));
    if (parts.isEmpty())
        return;
    if (!folders.refusals.isEmpty())
        parts.append(QStringLiteral("フォルダーを自分のものにして、ほかのユーザーが書き込めない"
                                    "ようにすると、次の起動から使います。"));
    messages.show({parts.join(QStringLiteral("\n\n")), appTitle(), MsgButtons::Ok,
                   MsgIcon::Exclamation, MsgAnswer::Ok});
}
