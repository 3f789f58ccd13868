#pragma once

#include "entry/EntryRenderer.h"
#include "platform/Platform.h"

#include <QTextCursor>

#include <functional>
#include <optional>

class DiaryFileTab;
class TodayEntryTab;
struct MainState;

// The command that puts today's entry into the diary at its cursor (InsertDiaryBtnClick).
// It reads the first tab and the HTML settings and writes into AllMemo piece by piece; the
// whole insertion, the weather colour included, is one step of the diary editor's undo. A typed
// weather gets the colour text that askWeatherColour gives back (the weather colour window).
class EntryInserter {
public:
    EntryInserter(TodayEntryTab* today, DiaryFileTab* diary, MainState& state, Platform platform,
                  std::function<QString()> askWeatherColour);
    ~EntryInserter();
    EntryInserter(const EntryInserter&) = delete;
    EntryInserter& operator=(const EntryInserter&) = delete;

    // Asks first; on Yes writes the entry, leaves the body selected and not modified.
    void InsertDiaryBtnClick();

private:
    void write(const QString& text);
    void closeWrites();
    void copy(const QString& crlfText);
    QString bodyToInsert(const QString& typed);
    // The body: copied (through the work file when automatic line breaks are on) and pasted.
    void pasteBody();

    TodayEntryTab* today_;
    DiaryFileTab* diary_;
    MainState& state_;
    Platform platform_;
    std::function<QString()> askWeatherColour_;
    std::optional<QTextCursor> writes_; // open while writes go in one edit block
    bool started_ = false;              // the first edit block of the insertion was begun
};
