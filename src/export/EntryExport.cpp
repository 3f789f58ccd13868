#include "export/EntryExport.h"

#include "commands/CommandTable.h"
#include "core/AppError.h"
#include "core/MainState.h"
#include "document/DiaryText.h"
#include "entry/TodayEntryTab.h"
#include "platform/FileChoice.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Messages.h"

namespace {

const QString textCaption = QStringLiteral("テキスト形式での保存");
const QString hnfCaption = QStringLiteral("ハイパー日記システム形式での保存");

constexpr int allTextFilesEntry = 1;
constexpr int textFilesEntry = 2;

// The bytes go to the file whole or not at all.
void writeWhole(Files& files, const QString& path, const QByteArray& bytes)
{
    if (!files.writeAll(path, bytes))
        throw AppError(QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(path));
}

} // namespace

FileDialogSettings todayExportDialog()
{
    FileDialogSettings dialog;
    dialog.filter = QStringLiteral("全てのテキストファイル|*.txt;*.log;*.doc;|テキストファイル("
                                   "*.txt)|*.txt|全てのファイル(*.*)|*.*");
    dialog.overwritePrompt = true;
    return dialog;
}

EntryExport::EntryExport(TodayEntryTab* today, Platform platform,
                         FileDialogSettings& saveDialogToday,
                         std::function<text::LineEnd()> diaryLineEnd, QObject* parent)
    : QObject(parent), today_(today), platform_(platform), dialog_(saveDialogToday),
      diaryLineEnd_(std::move(diaryLineEnd))
{
}

void EntryExport::addCommands(CommandTable& table, const MainState& state)
{
    using K = CommandRow::Kind;
    table.addRows("File.Export", {{K::Submenu,
                                   "FileTodaySave",
                                   QStringLiteral("今日の日記だけを保存(&S)"),
                                   {},
                                   {},
                                   [&state] { return state.CurrentPage == Page::Today; }},
                                  {K::Command,
                                   "FileTodaySaveHnf",
                                   QStringLiteral("ハイパー日記システム形式β(&H)"),
                                   {},
                                   [this] { FileTodaySaveHnfClick(); },
                                   {},
                                   "FileTodaySave"},
                                  {K::Command,
                                   "FileTodaySaveText",
                                   QStringLiteral("テキスト形式(&T)"),
                                   {},
                                   [this] { FileTodaySaveTextClick(); },
                                   {},
                                   "FileTodaySave"}});
}

void EntryExport::FileTodaySaveTextClick()
{
    BuildTextExport();
    SaveTextExport(BuildExportFileStem());
}

void EntryExport::FileTodaySaveHnfClick()
{
    if (today_->entryWithoutBody().title.isEmpty()) {
        platform_.messages.show(
            {QStringLiteral(
                 "ハイパー日記システム形式で保存するには、日記タイトルの入力が必須です。\n"
                 "「今日の日記にタイトルを付ける」ボタンで、タイトルを入力して下さい。"),
             QStringLiteral("変換要素不足"), MsgButtons::Ok, MsgIcon::Stop, MsgAnswer::Ok});
        return;
    }
    BuildHnfText();
    SaveHnfExport(BuildExportFileStem());
}

void EntryExport::BuildTextExport()
{
    today_->setWorkText(exports::BuildTextExport(today_->entry()));
}

void EntryExport::BuildHnfText()
{
    today_->setWorkText(exports::BuildHnfText(today_->entry()));
}

QString EntryExport::BuildExportFileStem() const
{
    const TodayEntry entry = today_->entryWithoutBody();
    return exports::BuildExportFileStem(entry.year, entry.month, entry.day);
}

// A plain text file has no way to carry a character Shift-JIS cannot hold, so such a text is
// refused before the writer is asked for a file name.
void EntryExport::SaveTextExport(const QString& stem)
{
    const text::Encoded encoded = exports::encodeExportText(today_->workText(), diaryLineEnd_());
    if (!encoded.unencodable.isEmpty()) {
        platform_.messages.show({exports::unencodableTextRefusal(encoded.unencodable), textCaption,
                                 MsgButtons::Ok, MsgIcon::Stop, MsgAnswer::Ok});
        return;
    }
    const QString path = chooseTarget(QStringLiteral("テキストファイルの保存先を指定"),
                                      QStringLiteral("txt"), textFilesEntry, stem);
    if (path.isEmpty())
        return;
    writeWhole(platform_.files, path, encoded.bytes);
    notifySaved(textCaption);
}

// The body of an entry file is HTML, so a character Shift-JIS cannot hold is written as its
// numeric character reference, and the writer is told which, as for the diary.
void EntryExport::SaveHnfExport(const QString& stem)
{
    const QString path = chooseTarget(QStringLiteral("ハイパー日記システムファイルの保存先を指定"),
                                      QStringLiteral("hnf"), allTextFilesEntry, stem);
    if (path.isEmpty())
        return;
    const text::Encoded encoded = exports::encodeExportText(today_->workText(), diaryLineEnd_());
    writeWhole(platform_.files, path, encoded.bytes);
    notifySaved(hnfCaption);
    if (!encoded.unencodable.isEmpty())
        platform_.messages.show({document::unencodableNotice(encoded.unencodable), hnfCaption,
                                 MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok});
}

QString EntryExport::chooseTarget(const QString& title, const QString& extension, int filterIndex,
                                  const QString& stem)
{
    dialog_.title = title;
    dialog_.defaultExt = extension;
    dialog_.fileName = stem + u'.' + extension;
    dialog_.filterIndex = filterIndex;
    if (!chooseSaveFile(platform_.fileDialogs, platform_.files, platform_.messages, dialog_))
        return {};
    return dialog_.fileName;
}

void EntryExport::notifySaved(const QString& caption)
{
    platform_.messages.show({QStringLiteral("保存しました。"), caption, MsgButtons::Ok,
                             MsgIcon::Information, MsgAnswer::Ok});
}
