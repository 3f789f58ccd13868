#pragma once

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
// loss loses nothing. A short pause after the last change, while the body is changed and not
// inserted or the diary is modified, it reads today's entry and the diary in slices on the
// user-interface thread and has the file written on a thread of its own; when nothing is
// unsaved any more, the file goes. At start it offers back what an instance that did not close
// normally left behind.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    RecoveryKeeper(TodayEntryTab* today, DiaryFileTab* diary, DiaryDocument* document,
                   Messages& messages, const QString& folder, QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    // Asks about each leftover file, newest first: restored, it becomes this instance's own
    // file; discarded, it is deleted. True when one was restored.
    bool offerLeftovers();
    // A change the editors do not report (the title).
    void noteChange();
    // A normal close: this instance's file and everything else it made are removed.
    void finish();

    QString ownPath() const { return store_.ownPath(); }
    void setPause(std::chrono::milliseconds pause) { pause_.setInterval(pause); }

private:
    enum class Stage { Idle, Body, Diary };

    void watchChanges();
    void changed();
    bool unsaved() const;
    void startSnapshot();
    void readSlice();
    void readDiaryOrFinish();
    void finishSnapshot();
    void forgetDiary();
    recovery::RecoveryData entryFields() const;
    void restore(const recovery::RecoveryData& data);

    TodayEntryTab* today_;
    DiaryFileTab* diary_;
    DiaryDocument* document_;
    Messages& messages_;
    recovery::RecoveryStore store_;
    QTimer pause_;
    QTimer slices_;
    Stage stage_ = Stage::Idle;
    bool finished_ = false;
    TextSnapshot reader_;
    recovery::RecoveryData snapshot_;
    quint64 diaryChanges_ = 0;
    // The diary text as last read, and how many changes it had seen then.
    QString lastDiary_;
    quint64 lastDiaryChanges_ = ~quint64(0);
    // Declared last: its thread ends before anything it works on goes.
    recovery::LatestJobThread writer_;
};
