#include "publish/PublishCommands.h"

#include "commands/CommandTable.h"
#include "platform/ProgramLibraries.h"
#include "publish/Publisher.h"
#include "publish/SecretStore.h"
#include "publish/SiteUpload.h"

#include <QCoreApplication>

namespace {

// Where the transfer's library may be, as the program is started now.
QStringList transferFiles()
{
    return programLibraryFiles(QCoreApplication::applicationDirPath(), transferLibraryName);
}

} // namespace

void addPublishCommands(CommandTable& table, Publisher& publisher)
{
    using K = CommandRow::Kind;
    Publisher* p = &publisher;
    auto offered = [p] { return p->sendOffered(); };
    table.addRows("Publish", {
                                 {K::Command,
                                  "PublishSet",
                                  QStringLiteral("公開の設定(&S)..."),
                                  {},
                                  [p] { p->PublishSetClick(); },
                                  offered},
                                 {K::Command,
                                  "PublishSend",
                                  QStringLiteral("サイトへ送る(&U)"),
                                  {QKeySequence(Qt::CTRL | Qt::Key_U)},
                                  [p] { p->PublishSendClick(); },
                                  offered},
                                 {K::Command,
                                  "PublishCheck",
                                  QStringLiteral("送る前に確認(&C)..."),
                                  {},
                                  [p] { p->PublishCheckClick(); },
                                  offered},
                                 {K::Command,
                                  "PublishRecord",
                                  QStringLiteral("送信の記録(&R)..."),
                                  {},
                                  [p] { p->PublishRecordClick(); }},
                             });
    table.recheckOn(p, &Publisher::sendingChanged);
}

void loadTransferFromProgramFolder(Publisher& publisher)
{
    publisher.loadTransfer = [](const char* symbol, QString& error) {
        return reinterpret_cast<UploadFunction>(resolveInLibraries(transferFiles(), symbol, error));
    };
    publisher.loadSecrets = [] {
        QString error;
        const auto store = reinterpret_cast<SecretStoreFunction>(
            resolveInLibraries(transferFiles(), secretStoreName, error));
        return store ? store() : nullptr;
    };
}
