#pragma once

#include "platform/Files.h"
#include "platform/Platform.h"
#include "text/EncodingGuess.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

struct FileDialogSettings;
struct MainState;
class DiaryCodes;
class DiaryFileTab;
class DiskVersionWindow;
class DiskWatch;
class THistoryForm;
class TNewProcessForm;

// What AskSaveIfModified answers: go on (nothing to save, or saved), go on and lose the
// changes, or stop.
enum class SaveAnswer { Done, Declined, Cancelled };

// The two windows the document shows, each made when first asked for. A document made without
// them (a benchmark's) must not be asked to start a diary from the template or to reopen one.
struct DocumentWindows {
    std::function<TNewProcessForm&()> newProcess;
    std::function<THistoryForm&()> history;
};

// The diary document of the second tab: the text of AllMemo, the path it belongs to
// (MainState::CurrentFileName) and its modified flag, with the commands that open, save, start
// and reopen it. It keeps the file name display and AllMemo's read-only state right itself; the
// menu items and the tab's buttons follow its signals. It watches its file: a change by another
// program is read at once when nothing here is unsaved, asked about at once otherwise, and a file
// gone is told at once. Errors no command handles are thrown as AppError for the general handler.
class DiaryDocument : public QObject {
    Q_OBJECT
public:
    DiaryDocument(MainState& state, DiaryFileTab* tab, Platform platform,
                  FileDialogSettings& openDialog, FileDialogSettings& saveDialog,
                  DocumentWindows windows = {}, QObject* parent = nullptr);

    MainState& state() { return state_; }
    Platform& platform() { return platform_; }
    // The file the document belongs to; empty for a new document.
    const QString& fileName() const { return fileName_; }
    // Whether a document was opened or created in this run (until then AllMemo shows a note).
    bool isLoaded() const { return loaded_; }
    // Follows AllMemo's own modified flag: undoing back to the text opened or saved is unmodified.
    bool isModified() const;
    // Whether saving, and saving under another name, are offered now: after every change; save
    // under another name also right after an open from a file; neither after a save.
    bool saveOffered() const { return saveOffered_; }
    bool saveAsOffered() const { return saveAsOffered_; }
    // The file as it was when last opened or saved here; nothing for a new document.
    const std::optional<FileStamp>& diskStamp() const { return diskStamp_; }
    // The hash of its content then (see document::contentHash); empty when not known.
    const QByteArray& diskHash() const { return diskHash_; }
    // The encoding and line ends the document was read in and a save writes.
    text::FileEncoding encoding() const { return encoding_; }

    // Asks whether to save a modified document first. Done when there was nothing to save or it
    // was saved, Declined when the writer chose not to save, Cancelled otherwise.
    SaveAnswer AskSaveIfModified();

    // The commands of the second tab (and of the File menu).
    void OpenDiary();
    void NewDiary();
    void ReOpen();
    // True when saved, false when the writer cancelled the save dialog, chose not to write
    // over a file another program has changed, or chose not to make anew a file that is gone.
    bool SaveDiary();
    bool SaveDiaryAs();
    // Reads the document's file again in another encoding, after asking to save a modified
    // document first. False when nothing was read (cancelled, or no file).
    bool ReopenAs(text::Encoding encoding);
    // Saves a copy of the text in another encoding under a name the writer chooses, with the
    // document's line ends; the copy's charset declaration, if it has one, names the new
    // encoding. Every character read from the file is kept as it was read: one the new encoding
    // would write as another character (‖ as ∥) is written as its numeric character reference.
    // The document itself (its name, encoding and modified state) stays as it is. False when the
    // writer cancelled.
    bool SaveCopyAs(text::FileEncoding encoding);

    // Opens a file chosen outside the open dialog (dropped on the window, or named when the
    // program was started) as the open command does: asks to save first, refuses a
    // write-protected file as the dialog would. False when nothing was opened.
    bool OpenDiaryFile(const QString& path);

    // Opens entry 1, 2 or 3 of the recent files. False when it was refused (missing or
    // write-protected file, message shown); the history window then stays open.
    bool OpenRecentFile(int number);

    // Replaces the whole document text by the content of the file, read in its own encoding
    // (or in `encoding` when given), which the document then keeps. A file whose charset
    // declaration disagrees with its bytes is told once. Gives the contentHash of the file.
    // undoable: the editor's undo brings back the text it replaced.
    QByteArray Load(const QString& path, std::optional<text::Encoding> encoding = std::nullopt,
                    bool undoable = false);
    // "?" names a new, unnamed document.
    void SetDiaryFileName(const QString& name);
    void ResetAfterLoad();
    void AfterSave();
    void RememberSavedFile(const QString& path);

    // The base template, ProgramFolder + "basehtml.txt".
    QString templatePath() const;

    // Puts back a document that was not saved when the program last ended: its text under its
    // name ("?" for a new one), editable, with the controls as after an open followed by a
    // change, so that the writer can save it. diskStamp: the file as the document last knew it,
    // which the first save checks for changes by other programs.
    void RestoreUnsaved(const QString& text, const QString& name,
                        std::optional<FileStamp> diskStamp, text::FileEncoding encoding = {});

signals:
    // A document was opened, created or reopened. fromFile: it came from a file (open or
    // history), so it can be saved under another name at once.
    void documentOpened(bool fromFile);
    // The document was saved; neither save command is offered until the next change.
    void documentSaved();
    // What saveOffered or saveAsOffered say may have changed.
    void saveOffersChanged();
    // isModified changed: by an edit, an undo back to the text on the disk, an open or a save.
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString& path);
    void loadedChanged(bool loaded);
    // The encoding and line ends the document was read in and a save writes changed.
    void encodingChanged(text::FileEncoding encoding);

private:
    void AllMemoChange(bool modified);
    void openFile(const QString& path, std::optional<text::Encoding> encoding = std::nullopt);
    void readFile(const QString& path, std::optional<text::Encoding> encoding, bool undoable);
    void fillEditor(const QString& text, bool undoable);
    void knowDisk();
    void checkDisk(bool fileItself);
    void fileGone(const QString& path);
    void askAboutDiskChange(const QString& path);
    void compareWithDisk(const QString& path);
    void reread(const QString& path, bool undoable);
    void setEncoding(text::FileEncoding encoding);
    bool mayWriteOverCurrentFile();
    bool sameContent(const QString& path);
    bool askYesNo(const QString& question);
    QList<char32_t> writeTo(const QString& path);
    void tellUnencodable(const QList<char32_t>& characters, text::FileEncoding encoding);
    void tell(const QString& text);
    void setSaveOffers(bool save, bool saveAs);

    MainState& state_;
    DiaryFileTab* tab_;
    Platform platform_;
    FileDialogSettings& openDialog_;
    FileDialogSettings& saveDialog_;
    DocumentWindows windows_;
    QString fileName_;
    bool loaded_ = false;
    bool saveOffered_ = false;
    bool saveAsOffered_ = false;
    // The file as it was when last opened or saved here, to notice other programs' changes.
    std::optional<FileStamp> diskStamp_;
    // Its content's hash, for a change that kept the size and time; empty when not known.
    QByteArray diskHash_;
    // The file as last read, written or told about here: a change from it is another program's.
    std::optional<FileStamp> seenStamp_;
    QByteArray seenHash_;
    bool goneTold_ = false;
    text::FileEncoding encoding_;
    DiaryCodes* codes_;
    DiskWatch* watch_;
    DiskVersionWindow* diskVersion_ = nullptr;
};
