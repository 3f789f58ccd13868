#pragma once

#include "platform/Files.h"
#include "recovery/LatestJobThread.h"
#include "recovery/RecoveryData.h"
#include "recovery/RecoveryStore.h"
#include "recovery/TextSnapshot.h"

#include <QObject>
#include <QTimer>

#include <chrono>

class DiaryDocument;
class DiaryFileTab;
class Messages;
class TodayEntryTab;

// Keeps what the writer has not saved in a recovery file, so that a crash, a kill or a power
// loss loses nothing. A short pause after the last change, and while typing goes on at the
// latest a few seconds after the first change not yet kept, while the body is changed and not
// inserted or the diary is modified, it reads today's entry and the diary in slices on the
// user-interface thread and has the file written on a thread of its own; when nothing is
// unsaved any more, the file goes. A save or an open brings the file up to date at once, so
// it never offers a diary older than the one on the disk. At start it offers back what an
// instance that did not close normally left behind, and moves damaged files out of the way.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    RecoveryKeeper(TodayEntryTab* today, DiaryFileTab* diary, DiaryDocument* document,
                   Messages& messages, const QString& folder, QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    // Asks about each leftover file, newest first: restored, it becomes this instance's own
    // file; discarded, it is deleted. True when one was restored.
    bool offerLeftovers();
    // A normal close: this instance's file and everything else it made are removed.
    void finish();

    QString ownPath() const { return store_.ownPath(); }
    // The waits before a change is kept; the tests shorten them.
    void setPause(std::chrono::milliseconds pause) { pause_.setInterval(pause); }
    void setLongestWait(std::chrono::milliseconds wait) { longest_.setInterval(wait); }

private:
    enum class Stage { Idle, Body, Diary };

    void watchChanges();
    void changed();
    bool unsaved() const;
    void startSnapshot();
    void readSlice();
    void readDiaryOrFinish();
    void finishSnapshot();
    void cancelSnapshot();
    void forgetDiary();
    void diaryOnDisk();
    void written(bool ok);
    void restore(const recovery::RecoveryData& data, const QString& leftoverPath);
    std::optional<FileStamp> restoredStamp(const recovery::RecoveryData& data,
                                           const QString& leftoverPath);

    TodayEntryTab* today_;
    DiaryFileTab* diary_;
    DiaryDocument* document_;
    Messages& messages_;
    recovery::RecoveryStore store_;
    QTimer pause_;
    QTimer longest_; // from the first change not yet kept, while typing goes on
    QTimer slices_;
    Stage stage_ = Stage::Idle;
    bool again_ = false; // a pause ended while a reading ran: read once more after it
    bool finished_ = false;
    bool restoring_ = false;
    bool failureTold_ = false; // the writer knows the file cannot be written
    quint64 generation_ = 0;   // of the newest data sent to the store
    quint64 snapshotGeneration_ = 0;
    TextSnapshot reader_;
    recovery::RecoveryData snapshot_;
    quint64 diaryChanges_ = 0;
    quint64 diaryChangesAtRead_ = 0;
    // The diary text as last read, and how many changes it had seen when the reading began.
    QString lastDiary_;
    quint64 lastDiaryChanges_ = ~quint64(0);
    // Declared last: its thread ends before anything it works on goes.
    recovery::LatestJobThread writer_;
};
