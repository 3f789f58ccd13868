#include "app/PelmoraApplication.h"

#include "app/CommandLine.h"
#include "app/OwnFolders.h"
#include "app/SingleInstance.h"
#include "app/TMainForm.h"
#include "core/AppInfo.h"
#include "platform/ErrorMessages.h"
#include "platform/Fonts.h"
#include "platform/QtPlatform.h"
#include "preview/PreviewEngine.h"
#include "settings/QtKeyStore.h"
#include "storage/InPlaceWrite.h"
#include "storage/SafeWrite.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

// The program's icon in every size drawn for it, built into the program as PNG files.
QIcon programIcon()
{
    QIcon icon;
    for (const QFileInfo& file : QDir(QStringLiteral(":/icons")).entryInfoList())
        icon.addFile(file.filePath());
    return icon;
}

// Qt's own texts (its buttons, the command line's usage) in Japanese, whatever the locale.
void installJapaneseTranslation(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
}

} // namespace

PelmoraApplication::PelmoraApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Pelmora"));
    // Docks and task bars match the windows to the installed desktop entry by this name.
    setDesktopFileName(QStringLiteral("io.github.pelmora.Pelmora"));
    setWindowIcon(programIcon());
    installJapaneseTranslation(*this);
    mapWindowsFaceNames();
}

bool PelmoraApplication::notify(QObject* receiver, QEvent* event)
{
    if (!errors_)
        return QApplication::notify(receiver, event);
    bool handled = false;
    errors_->run([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

namespace {

// Tells the writer, once, of the in-place writes left unfinished that the start could not settle
// safely, and where the copy of each file's old content is.
void tellKeptCopies(Messages& messages, const QList<KeptCopy>& kept)
{
    if (kept.isEmpty())
        return;
    QString list;
    for (const KeptCopy& write : kept) {
        const QString target =
            write.target.isEmpty() ? QStringLiteral("（記録から読み取れません）") : write.target;
        list += QStringLiteral("\n\nファイル: ") + target + QStringLiteral("\n写し: ") + write.copy;
    }
    messages.show({QStringLiteral("前回、ファイルへの保存が途中で終わりましたが、"
                                  "その記録が完全でないか、ファイルが保存の時と違うため、"
                                  "元に戻さずにそのままにしました。\n"
                                  "保存の前の内容の写しが残っています。"
                                  "ファイルの内容を確かめ、必要なら写しから戻して下さい。"
                                  "写しと記録（.journal）は、確かめた後に削除して下さい。")
                       + list,
                   appTitle(), MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok});
}

// A start that finds the running instance stuck (its window does not answer) ends with this
// rather than open a second editor beside it, perhaps on the same diary.
QString noAnswerText()
{
    return QStringLiteral("起動中の Pelmora が応答しません。\n"
                          "しばらく待ってから、もう一度起動してください。");
}

// The usage or the version, asked for on the command line: told on the terminal without a
// display.
int tellOnly(int& argc, char** argv)
{
    QCoreApplication app(argc, argv);
    installJapaneseTranslation(app);
    return tell(readCommandLine(app.arguments()));
}

} // namespace

int runPelmora(int& argc, char** argv, StartAs startAs, const std::function<void()>& afterShow)
{
    // A write past the file-size limit then fails and is told like any failed write; the signal
    // would end the program without a word.
    ignoreFileSizeSignal();
    const bool writer = startAs == StartAs::Writer;
    if (writer && asksForText(argc, argv))
        return tellOnly(argc, argv);
    PelmoraApplication app(argc, argv);
    const CommandLine line = writer ? readCommandLine(app.arguments()) : CommandLine();
    if (line.ask != CommandLine::Ask::Run)
        return tell(line);
    // Only folders no one else may write to hold the program's own files.
    OwnFolders folders = checkOwnFolders(QCoreApplication::applicationFilePath());
    const QString state = folders.state;
    // Writes in place that an ended program left unfinished are settled before any file is
    // opened; a running instance's own writes stay locked and are left alone.
    const QList<KeptCopy> kept =
        state.isEmpty() ? QList<KeptCopy>() : finishInterruptedWrites(state);
    // The diary named first, made absolute against the folder the program was started in.
    const QString file = line.file.isEmpty() ? QString() : QFileInfo(line.file).absoluteFilePath();
    // Listening from the start, on a thread of its own: a later start is answered at once, even
    // while this one creates its window or opens a large diary.
    QString socketPath;
    if (writer) {
        const SingleInstance::Place place = SingleInstance::userSocketPlace(folders.socketFallback);
        if (!place.refusal.isEmpty())
            noteRuntimeRefusal(folders, place.refusedFolder, place.refusal);
        socketPath = SingleInstance::userSocketPath(place.folder);
    }
    SingleInstance instance(socketPath);
    const SingleInstance::Start start = writer ? instance.start(file) : SingleInstance::Start::Run;
    if (start == SingleInstance::Start::HandedOver)
        return 0;
    if (start == SingleInstance::Start::NoAnswer) {
        QtMessages().show({noAnswerText(), appTitle(), MsgButtons::Ok, MsgIcon::Exclamation});
        return 1;
    }
    QtMessages messages;
    QtFileDialogs fileDialogs;
    QtClipboard clipboard;
    QtClock clock;
    QtSystem system([work = folders.work](const QString&) { return work; });
    QtFiles files(state);
    QtKeyStore keyStore;
    ErrorHandler errors = errorMessages(messages);
    const Platform platform{messages, fileDialogs, clipboard, clock, system, files, keyStore};

    std::unique_ptr<TMainForm> main;
    const bool created = errors.run([&] { main = std::make_unique<TMainForm>(platform); });
    if (!created)
        return 0;
    app.setErrorHandler(&errors);
    QObject::connect(&instance, &SingleInstance::handedOver, main.get(), &TMainForm::takeHandOver);
    main->show();
    tellOwnFolders(messages, folders);
    tellKeptCopies(messages, kept);
    const bool restoredDiary = main->startRecovery(state);
    if (afterShow)
        afterShow();
    // A diary taken back from the recovery data is unsaved work: it stays, the file waits for
    // the writer to open it again.
    if (!file.isEmpty() && !restoredDiary)
        main->openGivenFile(file);
    app.exec();
    return 0;
}
