#include "document/DiaryDocument.h"

#include "core/AppError.h"
#include "core/AppInfo.h"
#include "core/MainState.h"
#include "document/DiaryCodes.h"
#include "document/DiaryFileTab.h"
#include "document/DiaryText.h"
#include "document/DiskVersionWindow.h"
#include "document/DiskWatch.h"
#include "document/THistoryForm.h"
#include "document/TNewProcessForm.h"
#include "find/StatusLabel.h"
#include "platform/EditorText.h"
#include "platform/FileChoice.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

using namespace Qt::StringLiterals;

namespace {

// The wait cursor while a whole file is read into the editor or written from it, which takes
// seconds for a large diary; put back on every way out, a thrown error included.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The read codes of the text for its copy, whose charset declaration names another encoding:
// those after the declaration move with the length of the new name.
text::ReadCodes movedToCopy(text::ReadCodes codes, const QString& text, const QString& copy)
{
    const std::optional<text::CharsetDeclaration> at = text::findCharsetDeclaration(text);
    text::moveReadCodes(codes, at->position, at->length, at->length + copy.size() - text.size(),
                        [&copy](qsizetype k) { return copy[k].unicode(); });
    return codes;
}

} // namespace

DiaryDocument::DiaryDocument(MainState& state, DiaryFileTab* tab, Platform platform,
                             FileDialogSettings& openDialog, FileDialogSettings& saveDialog,
                             DocumentWindows windows, QObject* parent)
    : QObject(parent), state_(state), tab_(tab), platform_(platform), openDialog_(openDialog),
      saveDialog_(saveDialog), windows_(std::move(windows)),
      codes_(new DiaryCodes(tab_->AllMemo->document(), this)), watch_(new DiskWatch(this))
{
    connect(tab_->AllMemo->document(), &QTextDocument::modificationChanged, this,
            &DiaryDocument::AllMemoChange);
    connect(watch_, &DiskWatch::touched, this, &DiaryDocument::checkDisk);
    connect(
        this, &DiaryDocument::fileNameChanged, tab_->PanelEditFile, [this](const QString& path) {
            tab_->PanelEditFile->setText(document::fileNameCaption(path.isEmpty() ? u"?"_s : path));
        });
    connect(this, &DiaryDocument::encodingChanged, tab_->PanelEncoding,
            [this](text::FileEncoding encoding) {
                tab_->PanelEncoding->setText(text::fileFormatName(encoding));
            });
    // The copies in MainState, for the windows that read them there.
    connect(this, &DiaryDocument::fileNameChanged, this,
            [this](const QString& path) { state_.CurrentFileName = path; });
    connect(this, &DiaryDocument::loadedChanged, this,
            [this](bool loaded) { state_.DocumentLoaded = loaded; });
}

bool DiaryDocument::isModified() const
{
    return tab_->AllMemo->document()->isModified();
}

// A change of the text, typed, inserted or loaded whole, makes the document savable; undone back
// to the text on the disk, there is nothing to save.
void DiaryDocument::AllMemoChange(bool modified)
{
    setSaveOffers(modified, modified || saveAsOffered_);
    emit modifiedChanged(modified);
}

void DiaryDocument::setSaveOffers(bool save, bool saveAs)
{
    saveOffered_ = save;
    saveAsOffered_ = saveAs;
    emit saveOffersChanged();
}

SaveAnswer DiaryDocument::AskSaveIfModified()
{
    if (!isModified())
        return SaveAnswer::Done;
    const MsgAnswer answer = platform_.messages.show(
        {QStringLiteral("編集内容は保存されていません。\n保存しますか？"), appTitle(),
         MsgButtons::YesNoCancel, MsgIcon::Question, MsgAnswer::Yes});
    switch (answer) {
    case MsgAnswer::Yes: return SaveDiary() ? SaveAnswer::Done : SaveAnswer::Cancelled;
    case MsgAnswer::No: return SaveAnswer::Declined;
    default: return SaveAnswer::Cancelled;
    }
}

void DiaryDocument::OpenDiary()
{
    if (AskSaveIfModified() == SaveAnswer::Cancelled)
        return;
    if (!chooseOpenFile(platform_.fileDialogs, platform_.files, platform_.messages, openDialog_))
        return;
    openFile(openDialog_.fileName);
}

bool DiaryDocument::OpenDiaryFile(const QString& path)
{
    if (AskSaveIfModified() == SaveAnswer::Cancelled)
        return false;
    // Checked before the editor is touched: a mistyped name leaves the placeholder read-only.
    if (!platform_.files.exists(path))
        throw document::cannotOpenError(path);
    FileDialogSettings chosen = openDialog_;
    chosen.fileName = path;
    if (!mayWriteChosenFile(platform_.files, platform_.messages, chosen))
        return false;
    openFile(path);
    return true;
}

// The common steps of opening from the dialog, from the recent files and from elsewhere.
void DiaryDocument::openFile(const QString& path, std::optional<text::Encoding> encoding)
{
    readFile(path, encoding, false);
    tab_->AllMemo->setFocus();
}

// An open, or a reading again of a file another program changed. undoable: the text it replaces
// comes back with the editor's undo.
void DiaryDocument::readFile(const QString& path, std::optional<text::Encoding> encoding,
                             bool undoable)
{
    tab_->AllMemo->setReadOnly(false);
    diskHash_ = Load(path, encoding, undoable);
    diskStamp_ = platform_.files.stamp(path);
    SetDiaryFileName(path);
    knowDisk();
    ResetAfterLoad();
    setSaveOffers(false, true);
    emit documentOpened(true);
}

// The file is as this document last read or wrote it: changes from now on are another program's.
void DiaryDocument::knowDisk()
{
    seenStamp_ = diskStamp_;
    seenHash_ = diskHash_;
    goneTold_ = false;
    tab_->DiskStatus->hide();
    if (diskVersion_)
        diskVersion_->hide(); // what it shows is no longer the file's news
}

// A change the watch saw, or a change in the file's folder. The file's content decides: a save
// that wrote the same bytes, or a time set again, is no change.
void DiaryDocument::checkDisk(bool fileItself)
{
    const QString path = fileName_;
    if (path.isEmpty())
        return;
    if (QApplication::activeModalWidget()) { // a question or a command's window is open
        watch_->tellLater();
        return;
    }
    const std::optional<FileStamp> now = platform_.files.stamp(path);
    if (!now) {
        fileGone(path);
        return;
    }
    if (now == seenStamp_ && !fileItself && !goneTold_)
        return;
    const std::optional<QByteArray> bytes = platform_.files.readAll(path);
    if (!bytes)
        return; // not readable now; the next change tells again
    seenStamp_ = now;
    const QByteArray hash = document::contentHash(*bytes);
    if (std::exchange(goneTold_, false))
        tab_->DiskStatus->hide(); // back; the text stays unsaved until it is saved
    if (hash == seenHash_)
        return;
    seenHash_ = hash;
    if (isModified())
        askAboutDiskChange(path);
    else
        reread(path, false);
}

// The text is now only here: it counts as unsaved, so that the recovery file keeps it and a save
// makes the file anew (after asking).
void DiaryDocument::fileGone(const QString& path)
{
    if (std::exchange(goneTold_, true))
        return;
    tab_->DiskStatus->say(QStringLiteral("ファイル %1 は、ほかのプログラムが削除したか、別の場所へ"
                                         "移しました。編集中の内容は保存されていません。")
                              .arg(path));
    tab_->DiskStatus->show();
    tab_->AllMemo->document()->setModified(true);
}

void DiaryDocument::askAboutDiskChange(const QString& path)
{
    tab_->DiskStatus->hide(); // an earlier reading's news
    Message question{
        QStringLiteral(
            "ファイル %1 は、ほかのプログラムによって変更されました。\n"
            "編集中の内容は、まだ保存されていません。\n\n"
            "自分の編集を残す：このまま編集を続けます。上書き保存の前にもう一度確かめます。\n"
            "読み直す：ほかのプログラムが保存した内容を読み込みます。"
            "編集中の内容は「元に戻す」で戻せます。\n"
            "比べる：ほかのプログラムが保存した内容を別の窓に表示します。")
            .arg(path),
        appTitle(), MsgButtons::YesNoCancel, MsgIcon::Question, MsgAnswer::Cancel};
    // Enter and Esc alike keep the writer's text, the answer that changes nothing.
    question.buttonCaptions = {{MsgAnswer::Yes, QStringLiteral("比べる")},
                               {MsgAnswer::No, QStringLiteral("読み直す")},
                               {MsgAnswer::Cancel, QStringLiteral("自分の編集を残す")}};
    switch (platform_.messages.show(question)) {
    case MsgAnswer::Yes: compareWithDisk(path); break;
    case MsgAnswer::No: reread(path, true); break;
    default: break;
    }
}

void DiaryDocument::compareWithDisk(const QString& path)
{
    const document::DiaryFile theirs = document::readDiaryFile(platform_.files, path);
    if (!diskVersion_) {
        diskVersion_ = new DiskVersionWindow(tab_->window());
        connect(diskVersion_, &DiskVersionWindow::reloadChosen, this,
                [this] { reread(fileName_, true); });
    }
    QString mine = rawEditorText(tab_->AllMemo);
    mine.replace(QChar::ParagraphSeparator, u'\n');
    diskVersion_->showVersion(path, theirs.text, mine);
}

// Reads the file again in the encoding and line ends it has now, the cursor staying on its line.
void DiaryDocument::reread(const QString& path, bool undoable)
{
    QPlainTextEdit* memo = tab_->AllMemo;
    const int line = memo->textCursor().blockNumber();
    const int scrolled = memo->verticalScrollBar()->value();
    readFile(path, std::nullopt, undoable);
    memo->setTextCursor(
        QTextCursor(memo->document()->findBlockByNumber(std::min(line, memo->blockCount() - 1))));
    memo->verticalScrollBar()->setValue(scrolled);
    tab_->DiskStatus->say(QStringLiteral("ほかのプログラムが変更したので読み直しました"));
    tab_->DiskStatus->show();
}

void DiaryDocument::NewDiary()
{
    if (AskSaveIfModified() == SaveAnswer::Cancelled)
        return;
    SetDiaryFileName(QStringLiteral("?"));
    tab_->AllMemo->setReadOnly(false);
    setEditorText(tab_->AllMemo, QString());
    codes_->reset();
    // Without a template, Shift-JIS and CR LF; the template's own encoding and line ends otherwise.
    setEncoding({});
    const QString base = templatePath();
    if (platform_.files.exists(base)) {
        if (state_.NewProcessFlag) {
            windows_.newProcess().exec(); // the window loads the template itself, or not
        } else {
            Load(base);
        }
    }
    ResetAfterLoad();
    emit documentOpened(false);
}

void DiaryDocument::ReOpen()
{
    if (AskSaveIfModified() == SaveAnswer::Cancelled)
        return;
    windows_.history().exec();
}

bool DiaryDocument::OpenRecentFile(int number)
{
    if (number < 1 || number > int(state_.RecentFiles.size()))
        return false;
    const QString path = state_.RecentFiles[size_t(number - 1)];
    if (!platform_.files.exists(path)) {
        platform_.messages.show(
            {QStringLiteral("ファイル ") + path
                 + QStringLiteral(" は、削除されたか、もしくは移動されています。"),
             QStringLiteral("指定ファイルは存在しません"), MsgButtons::Ok, MsgIcon::Stop,
             MsgAnswer::Ok});
        return false;
    }
    if (!platform_.files.isWritable(path)) {
        platform_.messages.show({QStringLiteral("ファイル ") + path
                                     + QStringLiteral(" は、書き込み禁止に設定されています。\n"
                                                      "書き込み可能にしてから再度実行して下さい。"),
                                 QStringLiteral("書き込み禁止属性エラー"), MsgButtons::Ok,
                                 MsgIcon::Stop, MsgAnswer::Ok});
        return false;
    }
    openFile(path);
    return true;
}

bool DiaryDocument::SaveDiary()
{
    if (fileName_.isEmpty())
        return SaveDiaryAs();
    if (!mayWriteOverCurrentFile())
        return false;
    const QList<char32_t> unencodable = writeTo(fileName_);
    knowDisk();
    AfterSave();
    tellUnencodable(unencodable, encoding_);
    return true;
}

bool DiaryDocument::SaveDiaryAs()
{
    if (!chooseSaveFile(platform_.fileDialogs, platform_.files, platform_.messages, saveDialog_))
        return false;
    const QString path = saveDialog_.fileName;
    const QList<char32_t> unencodable = writeTo(path);
    SetDiaryFileName(path);
    knowDisk();
    AfterSave();
    tellUnencodable(unencodable, encoding_);
    return true;
}

bool DiaryDocument::ReopenAs(text::Encoding encoding)
{
    const QString path = fileName_;
    if (path.isEmpty() || AskSaveIfModified() == SaveAnswer::Cancelled)
        return false;
    if (!platform_.files.exists(path))
        throw document::cannotOpenError(path);
    openFile(path, encoding);
    return true;
}

bool DiaryDocument::SaveCopyAs(text::FileEncoding encoding)
{
    FileDialogSettings dialog = saveDialog_;
    dialog.title = QStringLiteral("%1 で写しを保存").arg(text::encodingName(encoding));
    if (!chooseSaveFile(platform_.fileDialogs, platform_.files, platform_.messages, dialog))
        return false;
    // The copy must not replace the file the document was read from and will be saved to.
    if (!fileName_.isEmpty() && dialog.fileName == fileName_) {
        tell(QStringLiteral("編集中のファイル %1 には写しを保存できません。\n"
                            "別の名前を選んでください。")
                 .arg(dialog.fileName));
        return false;
    }
    const QString editorText = rawEditorText(tab_->AllMemo);
    const std::optional<QString> declared =
        text::withCharsetDeclared(editorText, encoding.encoding);
    encoding.lineEnd = encoding_.lineEnd;
    text::CodesRead codes = codes_->forEncoding(encoding.encoding);
    const text::ReadCodes moved =
        declared ? movedToCopy(*codes.codes, editorText, *declared) : text::ReadCodes();
    if (declared)
        codes.codes = &moved;
    QList<char32_t> unencodable;
    {
        const BusyCursor busy;
        unencodable = document::writeDiaryText(platform_.files, dialog.fileName,
                                               declared.value_or(editorText), encoding, codes);
    }
    QString told = QStringLiteral("%1 で写しを保存しました：\n%2\n")
                       .arg(text::encodingName(encoding), dialog.fileName);
    if (declared)
        told += QStringLiteral("写しの文字コードの宣言（meta charset）を %1 に書き換えました。\n")
                    .arg(text::charsetLabel(encoding.encoding));
    tell(told + QStringLiteral("編集中のファイルは元の文字コードのまま変わりません。"));
    tellUnencodable(unencodable, encoding);
    return true;
}

// A file another program changed after it was opened or saved here is written over only when
// the writer says so. A file no longer there, or now on another device, is made anew only when
// the writer says so: a removable disk unmounted meanwhile leaves an empty folder in its place,
// and a save there would not reach the disk.
bool DiaryDocument::mayWriteOverCurrentFile()
{
    const QString& path = fileName_;
    const std::optional<FileStamp> now = platform_.files.stamp(path);
    if (!now || (diskStamp_ && now->device != diskStamp_->device))
        return askYesNo(
            QStringLiteral("ファイル ") + path
            + (now ? QStringLiteral(" は、開いた時（または前回の保存の時）とは"
                                    "別のディスクにあります。")
                   : QStringLiteral(" が見つかりません。"))
            + QStringLiteral("\nファイルのあったディスク（USB メモリなど）が外されたか、"
                             "ファイルが移動または削除された可能性があります。\n"
                             "この場所に新しく保存してもよろしいですか？"));
    if (now == diskStamp_ && sameContent(path))
        return true;
    return askYesNo(QStringLiteral("ファイル ") + path
                    + QStringLiteral(" は、開いた後（または前回の保存の後）に"
                                     "他のプログラムによって変更されています。\n"
                                     "上書きしてもよろしいですか？"));
}

// A question whose safe answer, No, is the default.
bool DiaryDocument::askYesNo(const QString& question)
{
    return platform_.messages.show(
               {question, appTitle(), MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No})
           == MsgAnswer::Yes;
}

// A failed write throws before anything else changes.
QList<char32_t> DiaryDocument::writeTo(const QString& path)
{
    const BusyCursor busy;
    QList<char32_t> unencodable =
        document::writeDiaryText(platform_.files, path, rawEditorText(tab_->AllMemo), encoding_,
                                 codes_->forEncoding(encoding_.encoding), &diskHash_);
    diskStamp_ = platform_.files.stamp(path);
    return unencodable;
}

// Characters the encoding cannot hold were written as numeric references; the writer is told
// which, once per save.
void DiaryDocument::tellUnencodable(const QList<char32_t>& characters, text::FileEncoding encoding)
{
    if (!characters.isEmpty())
        tell(document::unencodableNotice(characters, encoding));
}

void DiaryDocument::tell(const QString& text)
{
    platform_.messages.show(
        {text, appTitle(), MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok});
}

QByteArray DiaryDocument::Load(const QString& path, std::optional<text::Encoding> encoding,
                               bool undoable)
{
    text::EncodingGuess guess;
    QByteArray hash;
    {
        const BusyCursor busy;
        document::DiaryFile file = document::readDiaryFile(platform_.files, path, encoding);
        fillEditor(file.text, undoable);
        codes_->reset(std::move(file.codes), file.encoding.used.encoding);
        guess = file.encoding;
        hash = file.hash;
    }
    setEncoding(guess.used);
    if (guess.disagrees())
        tell(document::declarationMismatchNotice(path, guess));
    return hash;
}

// Undoable, the whole text is replaced in one edit the editor's undo takes back; otherwise the
// editor starts anew, without an undo history, which is faster for a large diary.
void DiaryDocument::fillEditor(const QString& text, bool undoable)
{
    if (!undoable) {
        codes_->reset();
        setRawEditorText(tab_->AllMemo, text);
        return;
    }
    QTextCursor all(tab_->AllMemo->document());
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    all.insertText(text);
    all.endEditBlock();
    tab_->AllMemo->document()->setModified(false);
}

// Another program may write a file of the same size within the time's resolution, or set its
// time back: the content read or written here is compared too.
bool DiaryDocument::sameContent(const QString& path)
{
    if (diskHash_.isEmpty())
        return true;
    const std::optional<QByteArray> bytes = platform_.files.readAll(path);
    return bytes && document::contentHash(*bytes) == diskHash_;
}

void DiaryDocument::setEncoding(text::FileEncoding encoding)
{
    encoding_ = encoding;
    emit encodingChanged(encoding);
}

void DiaryDocument::SetDiaryFileName(const QString& name)
{
    fileName_ = name == u"?" ? QString() : name;
    watch_->watch(fileName_);
    emit fileNameChanged(fileName_);
}

void DiaryDocument::ResetAfterLoad()
{
    tab_->AllMemo->document()->setModified(false);
    if (!std::exchange(loaded_, true))
        emit loadedChanged(true);
    setSaveOffers(false, false);
}

void DiaryDocument::AfterSave()
{
    tab_->AllMemo->document()->setModified(false);
    setSaveOffers(false, false);
    emit documentSaved();
    RememberSavedFile(fileName_);
}

void DiaryDocument::RememberSavedFile(const QString& path)
{
    document::rememberSavedFile(state_.RecentFiles, path);
}

QString DiaryDocument::templatePath() const
{
    return state_.ProgramFolder + QStringLiteral("basehtml.txt");
}

void DiaryDocument::RestoreUnsaved(const QString& text, const QString& name,
                                   std::optional<FileStamp> diskStamp, text::FileEncoding encoding)
{
    tab_->AllMemo->setReadOnly(false);
    setEditorText(tab_->AllMemo, text);
    codes_->reset();
    setEncoding(encoding);
    SetDiaryFileName(name);
    diskStamp_ = diskStamp;
    diskHash_.clear();
    knowDisk();
    // The file as it is now, which the writer was told of when the document was offered back.
    if (!fileName_.isEmpty()) {
        seenStamp_ = platform_.files.stamp(fileName_);
        if (const std::optional<QByteArray> bytes = platform_.files.readAll(fileName_))
            seenHash_ = document::contentHash(*bytes);
    }
    ResetAfterLoad();
    emit documentOpened(true);
    tab_->AllMemo->document()->setModified(true);
}
