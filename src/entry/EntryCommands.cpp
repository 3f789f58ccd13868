#include "entry/EntryCommands.h"

#include "commands/CommandTable.h"
#include "core/MainState.h"
#include "document/DiaryFileTab.h"
#include "entry/EntryInserter.h"
#include "entry/TDiaryTitleForm.h"
#include "entry/THtmlForm.h"
#include "entry/TWeatherForm.h"
#include "entry/TodayEntryTab.h"
#include "platform/Messages.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

EntryCommands::EntryCommands(MainState& state, TodayEntryTab* today, DiaryFileTab* diary,
                             Platform platform, EntryWindows windows,
                             std::function<void()> refocusEditor, QObject* parent)
    : QObject(parent), state_(state), today_(today), diary_(diary), platform_(platform),
      windows_(std::move(windows)), refocusEditor_(std::move(refocusEditor))
{
}

bool EntryCommands::onFirstTab() const
{
    return state_.CurrentPage == Page::Today;
}

void EntryCommands::addCommands(CommandTable& table)
{
    using K = CommandRow::Kind;
    auto firstTab = [this] { return onFirstTab(); };
    table.addRows("File.Today", {{K::Separator, "N3"},
                                 {K::Command,
                                  "FileTodayNew",
                                  QStringLiteral("新しく今日の日記を書く(&N)"),
                                  {},
                                  [this] { DeleteBtnClick(); },
                                  firstTab}});
    table.addRows("Edit.Title", {{K::Command,
                                  "EditTitle",
                                  QStringLiteral("タイトルを付ける(&T)..."),
                                  {},
                                  [this] { AddTitleBtnClick(); },
                                  firstTab,
                                  nullptr,
                                  false,
                                  {today_->addTitleButton()}}});
    table.addRows("Edit.Clear", {{K::Separator, "N2"},
                                 {K::Command,
                                  "EditDelete",
                                  QStringLiteral("全て削除(&C)"),
                                  {},
                                  [this] { DeleteBtnClick(); },
                                  firstTab,
                                  nullptr,
                                  false,
                                  {today_->deleteButton()}}});
    table.addRows("Set.Html", {{K::Command, "SetHtml", QStringLiteral("HTML設定(&H)"), {}, [this] {
                                    HtmlSetBtnClick();
                                }}});
    table.bindOwnButton(diary_->InsertDiaryBtn, [this] { InsertDiaryBtnClick(); });
    // The diary tab's insertion comes with the first document.
    table.enableWhen(diary_->InsertDiaryBtn, [this] { return state_.DocumentLoaded; });
}

bool EntryCommands::mayClose()
{
    if (!today_->bodyDocument()->isModified())
        return true;
    const MsgAnswer answer = platform_.messages.show(
        {QStringLiteral("「今日の日記」本文が変更されたまま、使用（挿入）されていません。\n"
                        "このまま終了してもよろしいですか？"),
         QStringLiteral("終了確認"), MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes});
    return answer == MsgAnswer::Yes;
}

void EntryCommands::DeleteBtnClick()
{
    const MsgAnswer answer = platform_.messages.show(
        {QStringLiteral("入力内容をクリアしてよろしいですか？"), QStringLiteral("クリア確認"),
         MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes});
    if (answer == MsgAnswer::Yes)
        today_->ClearTodayEntry();
}

void EntryCommands::AddTitleBtnClick()
{
    windows_.diaryTitle().exec();
    today_->bodyEditor()->setFocus();
}

void EntryCommands::HtmlSetBtnClick()
{
    windows_.html().exec();
    emit htmlSettingsClosed();
    refocusEditor_();
}

void EntryCommands::InsertDiaryBtnClick()
{
    EntryInserter(today_, diary_, state_, platform_, [this] {
        return windows_.weather().askColour();
    }).InsertDiaryBtnClick();
}
