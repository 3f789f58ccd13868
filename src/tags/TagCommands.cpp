#include "tags/TagCommands.h"

#include "commands/CommandTable.h"
#include "core/MainState.h"
#include "document/DiaryFileTab.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/Messages.h"
#include "tags/TDecorationForm.h"
#include "tags/TGraphicForm.h"
#include "tags/TLinkForm.h"
#include "tags/TagTexts.h"

#include <QPlainTextEdit>
#include <QPushButton>

TagCommands::TagCommands(MainState& state, QPlainTextEdit* todayMemo, QPlainTextEdit* allMemo,
                         Messages& messages, TagWindows windows,
                         std::function<void()> refocusEditor, QObject* parent)
    : QObject(parent), state_(state), todayMemo_(todayMemo), allMemo_(allMemo), messages_(messages),
      windows_(std::move(windows)), refocusEditor_(std::move(refocusEditor))
{
}

QPlainTextEdit* TagCommands::activeEditor() const
{
    return state_.CurrentPage == Page::Diary ? allMemo_ : todayMemo_;
}

void TagCommands::addCommands(CommandTable& table, TodayEntryTab* today, DiaryFileTab* diary)
{
    using K = CommandRow::Kind;
    // In the first tab's editor, and in the second tab's once a diary document is there.
    auto offered = [this] { return state_.CurrentPage == Page::Today || state_.DocumentLoaded; };
    table.addRows("Edit.Tags", {
                                   {K::Separator, "N1"},
                                   {K::Command,
                                    "EditBR",
                                    QStringLiteral("改行タグ挿入(&B)"),
                                    {QKeySequence(Qt::CTRL | Qt::Key_B)},
                                    [this] { BRTagBtnClick(); },
                                    offered,
                                    nullptr,
                                    false,
                                    {today->breakButton(), diary->BRTagBtn}},
                                   {K::Command,
                                    "EditHR",
                                    QStringLiteral("水平線タグ挿入(&H)"),
                                    {QKeySequence(Qt::CTRL | Qt::Key_H)},
                                    [this] { HRBtnClick(); },
                                    offered,
                                    nullptr,
                                    false,
                                    {diary->HRBtn}},
                                   {K::Command,
                                    "EditLink",
                                    QStringLiteral("リンクタグの挿入(&L)..."),
                                    {},
                                    [this] { LinkTagBtnClick(); },
                                    offered,
                                    nullptr,
                                    false,
                                    {diary->LinkTagBtn}},
                                   {K::Command,
                                    "EditIMG",
                                    QStringLiteral("画像指定タグ挿入(&G)..."),
                                    {},
                                    [this] { IMGBtnClick(); },
                                    offered,
                                    nullptr,
                                    false,
                                    {diary->IMGBtn}},
                                   {K::Command,
                                    "EditDec",
                                    QStringLiteral("文字装飾タグ挿入(&D)..."),
                                    {},
                                    [this] { StyleBtnClick(); },
                                    offered,
                                    nullptr,
                                    false,
                                    {diary->StyleBtn}},
                               });
    // The diary tab's buttons come with the first document.
    for (QPushButton* button :
         {diary->BRTagBtn, diary->HRBtn, diary->LinkTagBtn, diary->IMGBtn, diary->StyleBtn})
        table.enableWhen(button, [this] { return state_.DocumentLoaded; });
}

void TagCommands::insert(const QString& crlfText)
{
    QPlainTextEdit* editor = activeEditor();
    if (editor->isReadOnly())
        return;
    replaceEditorSelection(editor, crlfText);
}

std::optional<QString> TagCommands::captureSelection(const QString& refusal, const QString& caption)
{
    QString selection = selectedEditorText(activeEditor());
    if (!selection.isEmpty())
        return selection;
    messages_.show({refusal, caption, MsgButtons::Ok, MsgIcon::Exclamation});
    return std::nullopt;
}

void TagCommands::BRTagBtnClick()
{
    insert(tags::lineBreakTag(state_.CurrentPage));
    refocusEditor_();
}

void TagCommands::HRBtnClick()
{
    insert(tags::horizontalRuleTag());
    refocusEditor_();
}

void TagCommands::LinkTagBtnClick()
{
    if (const auto selection = captureSelection(
            QStringLiteral("リンクにしたい文字を範囲選択してから、ボタンをクリックして下さい。"),
            QStringLiteral("リンク設置"))) {
        if (const auto tag = windows_.link().askTag(*selection, messages_))
            insert(*tag);
    }
    refocusEditor_();
}

void TagCommands::IMGBtnClick()
{
    if (const auto tag = windows_.graphic().askTag(messages_))
        insert(*tag);
    refocusEditor_();
}

void TagCommands::StyleBtnClick()
{
    if (const auto selection = captureSelection(
            QStringLiteral("装飾したい文字を範囲選択してから、ボタンをクリックして下さい。"),
            QStringLiteral("文字装飾"))) {
        if (const auto tag = windows_.decoration().askTag(*selection))
            insert(*tag);
    }
    refocusEditor_();
}
