#include "app/HelpCommands.h"

#include "app/AboutInfo.h"
#include "app/Guidance.h"
#include "app/GuideWindow.h"
#include "app/ProgramFolder.h"
#include "app/TExpForm.h"
#include "app/THelpVerForm.h"
#include "app/TPleaseForm.h"
#include "app/Windows.h"
#include "commands/CommandTable.h"
#include "core/AppInfo.h"
#include "core/MainState.h"
#include "entry/TodayEntryTab.h"
#include "platform/InstallDirs.h"
#include "platform/SystemInfo.h"

#include <QFileInfo>
#include <QPlainTextEdit>

HelpCommands::HelpCommands(const MainState& state, TodayEntryTab* today, Platform platform,
                           Windows& windows, std::function<void()> refocusEditor, QWidget* window)
    : QObject(window), state_(state), today_(today), platform_(platform), windows_(windows),
      refocusEditor_(std::move(refocusEditor)), window_(window)
{
}

void HelpCommands::addCommands(CommandTable& table)
{
    using K = CommandRow::Kind;
    table.addRows("Help", {
                              {K::Command,
                               "HelpVerInfo",
                               QStringLiteral("バージョン情報(&V)..."),
                               {QKeySequence(Qt::Key_F1)},
                               [this] { HelpBtnClick(); }},
                              {K::Separator, "N5"},
                              {K::Command,
                               "HelpGuide",
                               QStringLiteral("使い方ガイド(&M)"),
                               {},
                               [this] { HelpGuideClick(); }},
                              {K::Command,
                               "HelpAdvice",
                               QStringLiteral("操作ガイド(&G)..."),
                               {},
                               [this] { HelpAdviceClick(); }},
                              {K::Command,
                               "HelpDonotmind",
                               QStringLiteral("ユーザの方々の日記へのリンク(&U)"),
                               {},
                               [this] { HelpDonotmindClick(); }},
                          });
    table.bindOwnButton(today_->hintButton(), [this] { UseHintBtnClick(); });
}

void HelpCommands::HelpBtnClick()
{
    windows_.helpVer().exec();
    refocusEditor_();
}

// The guide of the checkout for a program in a build tree, the installed one for the installed
// program.
void HelpCommands::HelpGuideClick()
{
    const QString programFolder = programFolderOf(platform_.system.programFilePath());
    const QString canonical = QFileInfo(programFolder).canonicalFilePath();
    const bool installed = !canonical.isEmpty()
                           && canonical == QFileInfo(installedProgramFolder()).canonicalFilePath();
    const QString path =
        about::guidePath(platform_.files, installed, sourceGuideFolder(), installedGuideFolder());
    if (path.isEmpty()) {
        platform_.messages.show({QStringLiteral("使い方ガイド（%1）が見つかりません。")
                                     .arg(installedGuideFolder() + QStringLiteral("guide.md")),
                                 appTitle(), MsgButtons::Ok, MsgIcon::Exclamation});
        return;
    }
    if (!guide_)
        guide_ = new GuideWindow(window_);
    guide_->open(path);
}

void HelpCommands::HelpDonotmindClick()
{
    windows_.please().exec();
}

void HelpCommands::UseHintBtnClick()
{
    platform_.messages.show(operationAdvice());
    today_->bodyEditor()->setFocus();
}

// The first tab's advice, or the second tab's explanation whatever FirstPageChangeFlag says.
void HelpCommands::HelpAdviceClick()
{
    if (state_.CurrentPage == Page::Today)
        UseHintBtnClick();
    else
        windows_.exp().exec();
}
