#include "entry/EntryInserter.h"

#include "core/MainState.h"
#include "document/DiaryFileTab.h"
#include "entry/BrWorkFile.h"
#include "entry/TodayEntryTab.h"
#include "platform/Clipboard.h"
#include "platform/Messages.h"
#include "text/LineEnds.h"

#include <QPlainTextEdit>
#include <QTextCursor>

EntryInserter::EntryInserter(TodayEntryTab* today, DiaryFileTab* diary, MainState& state,
                             Platform platform, std::function<QString()> askWeatherColour)
    : today_(today), diary_(diary), state_(state), platform_(platform),
      askWeatherColour_(std::move(askWeatherColour))
{
}

EntryInserter::~EntryInserter()
{
    closeWrites();
}

void EntryInserter::InsertDiaryBtnClick()
{
    const MsgAnswer answer = platform_.messages.show(
        {QStringLiteral("カーソル位置に、今日の日記本文を挿入してもよろしいですか？"),
         QStringLiteral("日記挿入確認"), MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes});
    if (answer != MsgAnswer::Yes)
        return;

    started_ = false;
    for (const entry::EntryPiece& piece :
         entry::renderEntry(today_->entryWithoutBody(), state_.Html)) {
        switch (piece.kind) {
        case entry::PieceKind::Text: write(piece.text); break;
        case entry::PieceKind::WeatherColour: {
            closeWrites();
            const QString colour = askWeatherColour_();
            if (!colour.isEmpty())
                write(colour);
            break;
        }
        case entry::PieceKind::Body:
            closeWrites();
            pasteBody();
            break;
        }
    }
    closeWrites();
    diary_->AllMemo->ensureCursorVisible();
    // The body has been used: closing no longer warns about it.
    today_->bodyDocument()->setModified(false);
}

// The writes between two windows (the weather colour window, the work file's messages) go in
// through one cursor in one edit block, so the editor lays out its lines once for all of them
// rather than after every piece; the block is closed before a window opens, since the editor
// must not paint while its layout waits for an open block. Each block joins the undo step of
// the first, so that one undo takes the whole entry out. Inserting at the editor's own cursor
// moves that cursor along.
void EntryInserter::write(const QString& text)
{
    if (!writes_) {
        writes_ = diary_->AllMemo->textCursor();
        if (started_)
            writes_->joinPreviousEditBlock();
        else
            writes_->beginEditBlock();
        started_ = true;
    }
    writes_->insertText(text::toEditorText(text));
}

void EntryInserter::closeWrites()
{
    if (writes_) {
        writes_->endEditBlock();
        writes_.reset();
    }
}

// Copying an empty text leaves the clipboard as it was. The clipboard gets what copying from
// an editor gives on this system: LF line ends.
void EntryInserter::copy(const QString& crlfText)
{
    if (!crlfText.isEmpty())
        platform_.clipboard.setText(text::toEditorText(crlfText));
}

// The body goes through the clipboard as the writer knows it (afterwards the clipboard holds
// it), but what is inserted is the text computed here: a clipboard manager or another program
// may change or drop the clipboard's content in between.
void EntryInserter::pasteBody()
{
    today_->bodyEditor()->selectAll();
    const QString bodyText = bodyToInsert(today_->entry().body);
    copy(bodyText);
    if (!bodyText.isEmpty())
        write(bodyText);
}

// The body as typed or, with automatic line breaks, rewritten through the work file; when the
// work file fails, the body as typed and the writer is told.
QString EntryInserter::bodyToInsert(const QString& typed)
{
    if (!entry::switchesForRendering(state_.Html.HtmlSetFlags).autoBreaks)
        return typed;
    const entry::BrBody rewritten =
        entry::BuildBrBody(platform_.files, platform_.messages, state_.ProgramFolder, typed);
    today_->setWorkText(rewritten.text);
    if (rewritten.result == entry::BrResult::Done)
        return rewritten.text;
    platform_.messages.show(
        {QStringLiteral("エラー発生のため、改行タグの自動挿入は実行できませんでした。\n"
                        "（改行タグを付加しない状態で、挿入しました。）"),
         QStringLiteral("自動挿入の中止"), MsgButtons::Ok, MsgIcon::Information, MsgAnswer::Ok});
    return typed;
}
