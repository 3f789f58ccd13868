#include "document/DiaryDocument.h"

#include "core/AppError.h"
#include "core/AppInfo.h"
#include "core/MainState.h"
#include "document/DiaryCodes.h"
#include "document/DiaryFileTab.h"
#include "document/DiaryText.h"
#include "document/THistoryForm.h"
#include "document/TNewProcessForm.h"
#include "platform/EditorText.h"
#include "platform/FileChoice.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

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
      codes_(new DiaryCodes(tab_->AllMemo->document(), this))
{
    connect(tab_->AllMemo, &QPlainTextEdit::textChanged, this, &DiaryDocument::AllMemoChange);
}

// Every change of the text, typed, inserted or loaded whole, makes the document savable.
void DiaryDocument::AllMemoChange()
{
    modified_ = true;
    setSaveButtons(true, true);
}

void DiaryDocument::setSaveButtons(bool save, bool saveAs)
{
    saveOffered_ = save;
    saveAsOffered_ = saveAs;
    tab_->SaveDiaryBtn->setEnabled(save);
    tab_->SaveAsBtn->setEnabled(saveAs);
    emit saveOffersChanged();
}

SaveAnswer DiaryDocument::AskSaveIfModified()
{
    if (!modified_)
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
    tab_->AllMemo->setReadOnly(false);
    diskHash_ = Load(path, encoding);
    diskStamp_ = platform_.files.stamp(path);
    SetDiaryFileName(path);
    tab_->AllMemo->setFocus();
    ResetAfterLoad();
    setSaveButtons(false, true);
    emit documentOpened(true);
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
    if (state_.CurrentFileName.isEmpty())
        return SaveDiaryAs();
    if (!mayWriteOverCurrentFile())
        return false;
    const QList<char32_t> unencodable = writeTo(state_.CurrentFileName);
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
    AfterSave();
    tellUnencodable(unencodable, encoding_);
    return true;
}

bool DiaryDocument::ReopenAs(text::Encoding encoding)
{
    const QString path = state_.CurrentFileName;
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
    if (!state_.CurrentFileName.isEmpty() && dialog.fileName == state_.CurrentFileName) {
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
    const QString& path = state_.CurrentFileName;
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

QByteArray DiaryDocument::Load(const QString& path, std::optional<text::Encoding> encoding)
{
    text::EncodingGuess guess;
    QByteArray hash;
    {
        const BusyCursor busy;
        document::DiaryFile file = document::readDiaryFile(platform_.files, path, encoding);
        codes_->reset();
        tab_->prepareFor(file.text);
        setRawEditorText(tab_->AllMemo, file.text);
        codes_->reset(std::move(file.codes), file.encoding.used.encoding);
        guess = file.encoding;
        hash = file.hash;
    }
    setEncoding(guess.used);
    if (guess.disagrees())
        tell(document::declarationMismatchNotice(path, guess));
    return hash;
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
    tab_->PanelEncoding->setText(text::fileFormatName(encoding));
}

void DiaryDocument::SetDiaryFileName(const QString& name)
{
    state_.CurrentFileName = name == u"?" ? QString() : name;
    tab_->PanelEditFile->setText(document::fileNameCaption(name));
}

void DiaryDocument::ResetAfterLoad()
{
    modified_ = false;
    setSaveButtons(false, false);
    for (QPushButton* b : {tab_->InsertDiaryBtn, tab_->BRTagBtn, tab_->HRBtn, tab_->LinkTagBtn,
                           tab_->IMGBtn, tab_->StyleBtn})
        b->setEnabled(true);
    state_.DocumentLoaded = true;
}

void DiaryDocument::AfterSave()
{
    modified_ = false;
    setSaveButtons(false, false);
    emit documentSaved();
    RememberSavedFile(state_.CurrentFileName);
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
    ResetAfterLoad();
    emit documentOpened(true);
    AllMemoChange();
}
