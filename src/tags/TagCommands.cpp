#include "tags/TagCommands.h"

#include "core/MainState.h"
#include "platform/EditorText.h"
#include "platform/Messages.h"
#include "tags/TDecorationForm.h"
#include "tags/TGraphicForm.h"
#include "tags/TLinkForm.h"
#include "tags/TagTexts.h"

#include <QPlainTextEdit>

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
