#pragma once

#include "platform/Platform.h"

#include <QObject>

#include <functional>

class CommandTable;
class DiaryFileTab;
class TDiaryTitleForm;
class THtmlForm;
class TWeatherForm;
class TodayEntryTab;
struct MainState;

// The three windows the entry's commands show, each made when first asked for.
struct EntryWindows {
    std::function<TDiaryTitleForm&()> diaryTitle;
    std::function<THtmlForm&()> html;
    std::function<TWeatherForm&()> weather;
};

// The commands of today's entry: a new entry, its title, clearing it, the HTML settings it is
// rendered with, and putting it into the diary (the diary tab's insertion button).
class EntryCommands : public QObject {
    Q_OBJECT
public:
    EntryCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary, Platform platform,
                  EntryWindows windows, std::function<void()> refocusEditor, QObject* parent);

    // Adds the rows to the slots "File.Today", "Edit.Title", "Edit.Clear" and "Set.Html", and
    // binds the tabs' buttons.
    void addCommands(CommandTable& table);

    // Asked before the window closes: true when today's body was not changed, or the writer
    // chose to close all the same.
    bool mayClose();

    void DeleteBtnClick();
    void AddTitleBtnClick();
    void HtmlSetBtnClick();
    void InsertDiaryBtnClick();

signals:
    // The HTML settings window closed; its fragments may have changed.
    void htmlSettingsClosed();

private:
    bool onFirstTab() const;

    MainState& state_;
    TodayEntryTab* today_;
    DiaryFileTab* diary_;
    Platform platform_;
    EntryWindows windows_;
    std::function<void()> refocusEditor_;
};
