#include "recovery/RecoveryKeeper.h"

#include "core/AppInfo.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "document/DiaryText.h"
#include "entry/TodayEntryTab.h"
#include "platform/Messages.h"
#include "storage/WholeFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPlainTextEdit>

using recovery::RecoveryData;

namespace {

constexpr std::chrono::milliseconds typingPause{2000};
constexpr std::chrono::milliseconds longestWait{5000};
// One slice of reading: well inside one frame, so a key pressed meanwhile waits at most this.
constexpr std::chrono::milliseconds sliceTime{4};

// The stamp the diary file had when the data was kept; nothing when the data does not say.
std::optional<FileStamp> keptStamp(const RecoveryData& data)
{
    if (data.fileModifiedMs < 0)
        return std::nullopt;
    return FileStamp{QDateTime::fromMSecsSinceEpoch(data.fileModifiedMs), data.fileSize};
}

bool sameVersion(const FileStamp& now, const FileStamp& kept)
{
    return now.modified.toMSecsSinceEpoch() == kept.modified.toMSecsSinceEpoch()
           && now.size == kept.size;
}

// True when the file holds what it held when the data was kept, whatever its time says (a write
// cut short and undone at start gives it a new one).
bool sameContent(Files& files, const RecoveryData& data)
{
    if (data.fileHash.isEmpty())
        return false;
    const std::optional<QByteArray> bytes = files.readAll(data.fileName);
    return bytes && document::contentHash(*bytes) == data.fileHash;
}

// True when the diary file on the disk is newer than the data kept of it: a save (or another
// program) came after. Without a stamp in the data, the file's time is set against the
// recovery file's own.
bool fileIsNewer(Files& files, const RecoveryData& data, const QString& leftoverPath)
{
    if (!data.hasDiary || data.fileName.isEmpty())
        return false;
    const std::optional<FileStamp> now = files.stamp(data.fileName);
    if (!now)
        return false;
    if (const std::optional<FileStamp> kept = keptStamp(data))
        return !sameVersion(*now, *kept) && !sameContent(files, data);
    return now->modified > QFileInfo(leftoverPath).lastModified();
}

bool askToRestore(Messages& messages, const QString& newerFile)
{
    QString text = QStringLiteral("前回、Pelmora は正しく終了しませんでした。\n"
                                  "そのとき保存されていなかった今日の日記と日記ファイルの"
                                  "内容が残っています。\n"
                                  "復元しますか？（破棄すると、この内容は削除されます。）");
    if (!newerFile.isEmpty())
        text += QStringLiteral("\n\n注意：日記ファイル ") + newerFile
                + QStringLiteral(" は、この内容が残された後に保存または変更されています。\n"
                                 "復元した日記で上書き保存すると、その後の内容は失われます。");
    Message question{text, appTitle(), MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes};
    question.buttonCaptions = {{MsgAnswer::Yes, QStringLiteral("復元")},
                               {MsgAnswer::No, QStringLiteral("破棄")}};
    return messages.show(question) == MsgAnswer::Yes;
}

void tellDamaged(Messages& messages, const QStringList& places)
{
    if (places.isEmpty())
        return;
    messages.show({QStringLiteral("前回残された復元用のデータが壊れていたため、復元できません。\n"
                                  "壊れたファイルは次の場所にあります：\n")
                       + places.join(u'\n'),
                   appTitle(), MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok});
}

} // namespace

RecoveryKeeper::RecoveryKeeper(TodayEntryTab* today, DiaryFileTab* diary, DiaryDocument* document,
                               Messages& messages, const QString& folder, QObject* parent)
    : QObject(parent), today_(today), diary_(diary), document_(document), messages_(messages),
      store_(folder)
{
    pause_.setSingleShot(true);
    pause_.setInterval(typingPause);
    longest_.setSingleShot(true);
    longest_.setInterval(longestWait);
    connect(&pause_, &QTimer::timeout, this, &RecoveryKeeper::startSnapshot);
    connect(&longest_, &QTimer::timeout, this, &RecoveryKeeper::startSnapshot);
    connect(&slices_, &QTimer::timeout, this, &RecoveryKeeper::readSlice);
    watchChanges();
}

// The file stays when the keeper goes without a normal close: the next start offers it.
RecoveryKeeper::~RecoveryKeeper() = default;

void RecoveryKeeper::watchChanges()
{
    QTextDocument* body = today_->bodyDocument();
    QTextDocument* diary = diary_->AllMemo->document();
    for (QTextDocument* document : {body, diary}) {
        connect(document, &QTextDocument::contentsChange, this,
                [this, document](int position, int removed, int added) {
                    reader_.noteChange(document, position, removed, added);
                });
    }
    connect(today_, &TodayEntryTab::entryChanged, this, &RecoveryKeeper::changed);
    connect(diary, &QTextDocument::contentsChanged, this, [this] {
        ++diaryChanges_;
        changed();
    });
    // Modified without a change of the text: its file was removed, or an undo went back to it.
    connect(document_, &DiaryDocument::modifiedChanged, this, &RecoveryKeeper::changed);
    connect(document_, &DiaryDocument::documentOpened, this, &RecoveryKeeper::diaryOnDisk);
    connect(document_, &DiaryDocument::documentSaved, this, &RecoveryKeeper::diaryOnDisk);
}

// A reading under way goes on (it reads each line as it is when its turn comes); the pause
// starts again, the longest wait only from the first change not yet kept.
void RecoveryKeeper::changed()
{
    if (finished_)
        return;
    pause_.start();
    if (!longest_.isActive())
        longest_.start();
}

bool RecoveryKeeper::unsaved() const
{
    return today_->bodyDocument()->isModified() || document_->isModified();
}

void RecoveryKeeper::startSnapshot()
{
    if (stage_ != Stage::Idle) {
        again_ = true;
        return;
    }
    longest_.stop();
    if (!unsaved()) {
        forgetDiary();
        writer_.post([store = &store_, generation = ++generation_] { store->remove(generation); });
        return;
    }
    snapshotGeneration_ = ++generation_;
    snapshot_ = RecoveryData();
    snapshot_.entry = today_->entryWithoutBody();
    stage_ = Stage::Body;
    reader_.start(today_->bodyDocument());
    slices_.start(0);
}

void RecoveryKeeper::readSlice()
{
    if (!reader_.step(QDeadlineTimer(sliceTime, Qt::PreciseTimer)))
        return;
    if (stage_ == Stage::Body) {
        snapshot_.entry.body = reader_.take();
        readDiaryOrFinish();
    } else {
        lastDiary_ = reader_.take();
        lastDiaryChanges_ = diaryChangesAtRead_;
        finishSnapshot();
    }
}

// The diary is read again only when it changed since it was last read.
void RecoveryKeeper::readDiaryOrFinish()
{
    if (document_->isModified() && diaryChanges_ != lastDiaryChanges_) {
        stage_ = Stage::Diary;
        diaryChangesAtRead_ = diaryChanges_;
        reader_.start(diary_->AllMemo->document());
        return;
    }
    finishSnapshot();
}

void RecoveryKeeper::finishSnapshot()
{
    slices_.stop();
    stage_ = Stage::Idle;
    if (document_->isModified()) {
        snapshot_.hasDiary = true;
        snapshot_.diaryText = lastDiary_;
        snapshot_.fileName = document_->fileName();
        snapshot_.newDocument = document_->fileName().isEmpty();
        snapshot_.diaryEncoding = int(document_->encoding().encoding);
        snapshot_.byteOrderMark = document_->encoding().byteOrderMark;
        snapshot_.lineEnd = int(document_->encoding().lineEnd);
        if (const std::optional<FileStamp>& stamp = document_->diskStamp()) {
            snapshot_.fileModifiedMs = stamp->modified.toMSecsSinceEpoch();
            snapshot_.fileSize = stamp->size;
            snapshot_.fileHash = document_->diskHash();
        }
    } else {
        forgetDiary();
    }
    writer_.post([this, data = std::exchange(snapshot_, {}), generation = snapshotGeneration_] {
        const bool ok = store_.write(data, generation);
        QMetaObject::invokeMethod(
            this, [this, ok] { written(ok); }, Qt::QueuedConnection);
    });
    if (std::exchange(again_, false))
        startSnapshot();
}

void RecoveryKeeper::cancelSnapshot()
{
    slices_.stop();
    stage_ = Stage::Idle;
    again_ = false;
    reader_.take();
    snapshot_ = {};
}

void RecoveryKeeper::forgetDiary()
{
    lastDiary_.clear();
    lastDiaryChanges_ = ~quint64(0);
}

// The diary on the disk is the document again (saved, or opened anew): the recovery file must
// not go on offering the older text, not even for the moment a reading would take. The entry
// is small; it is written here and now.
void RecoveryKeeper::diaryOnDisk()
{
    if (finished_ || restoring_)
        return;
    cancelSnapshot();
    forgetDiary();
    pause_.stop();
    longest_.stop();
    if (!unsaved()) {
        store_.remove(++generation_);
        return;
    }
    RecoveryData entryOnly;
    entryOnly.entry = today_->entry();
    written(store_.write(entryOnly, ++generation_));
}

// A write that fails (a full disk, a size limit) is told once, until a write succeeds again.
void RecoveryKeeper::written(bool ok)
{
    if (ok) {
        failureTold_ = false;
        return;
    }
    if (std::exchange(failureTold_, true))
        return;
    messages_.show(
        {QStringLiteral("復元用のデータを書き込めませんでした。\n") + store_.ownPath()
             + QStringLiteral("\nディスクの空きを確かめてください。保存するまでの編集は、"
                              "Pelmora が異常終了すると失われます。"),
         appTitle(), MsgButtons::Ok, MsgIcon::Exclamation, MsgAnswer::Ok});
}

// Damaged files are moved aside and named to the writer first; the rest are offered newest
// first. A file of a later version stays where it is, for the version that wrote it.
bool RecoveryKeeper::offerLeftovers()
{
    std::vector<recovery::Leftover> leftovers = store_.claimLeftovers();
    std::vector<std::pair<recovery::Leftover*, RecoveryData>> readable;
    QStringList damaged;
    for (recovery::Leftover& leftover : leftovers) {
        const std::optional<QByteArray> bytes = readOwnFile(leftover.path);
        if (!bytes)
            continue;
        if (std::optional<RecoveryData> data = recovery::readRecoveryData(*bytes)) {
            readable.emplace_back(&leftover, std::move(*data));
        } else if (!recovery::isLaterRecoveryVersion(*bytes)) {
            const QString moved = store_.moveAside(leftover);
            damaged.append(moved.isEmpty() ? leftover.path : moved);
        }
    }
    tellDamaged(messages_, damaged);
    for (auto& [leftover, data] : readable) {
        const bool newer = fileIsNewer(document_->platform().files, data, leftover->path);
        if (askToRestore(messages_, newer ? data.fileName : QString())) {
            restore(data, leftover->path);
            store_.adopt(*leftover);
            return true;
        }
        store_.discard(*leftover);
    }
    return false;
}

void RecoveryKeeper::restore(const RecoveryData& data, const QString& leftoverPath)
{
    restoring_ = true;
    today_->restore(data.entry);
    if (data.hasDiary)
        document_->RestoreUnsaved(
            data.diaryText, data.newDocument ? QStringLiteral("?") : data.fileName,
            restoredStamp(data, leftoverPath),
            {text::Encoding(data.diaryEncoding), data.byteOrderMark, text::LineEnd(data.lineEnd)});
    restoring_ = false;
}

// What the document takes as the file it was opened from: the file as it is now when it has
// not changed since the data was kept, so that the first save goes through without a question;
// otherwise the kept stamp, so that the save asks before writing over the newer file.
std::optional<FileStamp> RecoveryKeeper::restoredStamp(const RecoveryData& data,
                                                       const QString& leftoverPath)
{
    if (data.newDocument)
        return std::nullopt;
    Files& files = document_->platform().files;
    const std::optional<FileStamp> now = files.stamp(data.fileName);
    std::optional<FileStamp> kept = keptStamp(data);
    if (!fileIsNewer(files, data, leftoverPath))
        return now;
    if (kept && now)
        kept->device = now->device; // the same disk: the question is about the newer content
    return kept;
}

void RecoveryKeeper::finish()
{
    finished_ = true;
    pause_.stop();
    longest_.stop();
    slices_.stop();
    writer_.stop();
    store_.remove();
    store_.removeFolderIfEmpty();
}
