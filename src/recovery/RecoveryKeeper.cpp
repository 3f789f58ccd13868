#include "recovery/RecoveryKeeper.h"

#include "core/AppInfo.h"
#include "core/MainState.h"
#include "document/DiaryDocument.h"
#include "document/DiaryFileTab.h"
#include "entry/ItemComboBox.h"
#include "entry/TodayEntryTab.h"
#include "platform/EditorText.h"
#include "platform/Messages.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

using recovery::RecoveryData;

namespace {

constexpr std::chrono::milliseconds typingPause{2000};
// One slice of reading: well inside one frame, so a key pressed meanwhile waits at most this.
constexpr std::chrono::milliseconds sliceTime{4};

std::optional<RecoveryData> readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return recovery::readRecoveryData(file.readAll());
}

bool askToRestore(Messages& messages)
{
    Message question{QStringLiteral("前回、Pelmora は正しく終了しませんでした。\n"
                                    "そのとき保存されていなかった今日の日記と日記ファイルの"
                                    "内容が残っています。\n"
                                    "復元しますか？（破棄すると、この内容は削除されます。）"),
                     appTitle(), MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Yes};
    question.buttonCaptions = {{MsgAnswer::Yes, QStringLiteral("復元")},
                               {MsgAnswer::No, QStringLiteral("破棄")}};
    return messages.show(question) == MsgAnswer::Yes;
}

} // namespace

RecoveryKeeper::RecoveryKeeper(TodayEntryTab* today, DiaryFileTab* diary, DiaryDocument* document,
                               Messages& messages, const QString& folder, QObject* parent)
    : QObject(parent), today_(today), diary_(diary), document_(document), messages_(messages),
      store_(folder)
{
    pause_.setSingleShot(true);
    pause_.setInterval(typingPause);
    connect(&pause_, &QTimer::timeout, this, &RecoveryKeeper::startSnapshot);
    connect(&slices_, &QTimer::timeout, this, &RecoveryKeeper::readSlice);
    watchChanges();
}

// The file stays when the keeper goes without a normal close: the next start offers it.
RecoveryKeeper::~RecoveryKeeper() = default;

void RecoveryKeeper::watchChanges()
{
    QTextDocument* body = today_->TodayMemo->document();
    QTextDocument* diary = diary_->AllMemo->document();
    connect(body, &QTextDocument::contentsChanged, this, &RecoveryKeeper::changed);
    connect(body, &QTextDocument::modificationChanged, this, &RecoveryKeeper::changed);
    connect(diary, &QTextDocument::contentsChanged, this, [this] {
        ++diaryChanges_;
        changed();
    });
    for (QLineEdit* field : {today_->YearEdit, today_->MonthEdit, today_->DateEdit})
        connect(field, &QLineEdit::textChanged, this, &RecoveryKeeper::changed);
    for (ItemComboBox* box : {today_->DayBox, today_->WeatherBox}) {
        connect(box, &QComboBox::editTextChanged, this, &RecoveryKeeper::changed);
        connect(box, &QComboBox::currentIndexChanged, this, &RecoveryKeeper::changed);
    }
    connect(document_, &DiaryDocument::documentOpened, this, &RecoveryKeeper::changed);
    connect(document_, &DiaryDocument::documentSaved, this, &RecoveryKeeper::changed);
}

void RecoveryKeeper::noteChange()
{
    changed();
}

// A reading under way is given up: it would mix texts from before and after the change.
void RecoveryKeeper::changed()
{
    if (finished_)
        return;
    slices_.stop();
    stage_ = Stage::Idle;
    pause_.start();
}

bool RecoveryKeeper::unsaved() const
{
    return today_->TodayMemo->document()->isModified() || document_->isModified();
}

void RecoveryKeeper::startSnapshot()
{
    if (!unsaved()) {
        forgetDiary();
        writer_.post([store = &store_] { store->remove(); });
        return;
    }
    snapshot_ = entryFields();
    stage_ = Stage::Body;
    reader_.start(today_->TodayMemo->document());
    slices_.start(0);
}

void RecoveryKeeper::readSlice()
{
    if (!reader_.step(QDeadlineTimer(sliceTime, Qt::PreciseTimer)))
        return;
    if (stage_ == Stage::Body) {
        snapshot_.body = reader_.take();
        readDiaryOrFinish();
    } else {
        lastDiary_ = reader_.take();
        lastDiaryChanges_ = diaryChanges_;
        finishSnapshot();
    }
}

// The diary is read again only when it changed since it was last read.
void RecoveryKeeper::readDiaryOrFinish()
{
    if (document_->isModified() && diaryChanges_ != lastDiaryChanges_) {
        stage_ = Stage::Diary;
        reader_.start(diary_->AllMemo->document());
        return;
    }
    finishSnapshot();
}

void RecoveryKeeper::finishSnapshot()
{
    slices_.stop();
    stage_ = Stage::Idle;
    if (document_->isModified()) {
        const MainState& state = document_->state();
        snapshot_.hasDiary = true;
        snapshot_.diaryText = lastDiary_;
        snapshot_.fileName = state.CurrentFileName;
        snapshot_.newDocument = state.CurrentFileName.isEmpty();
    } else {
        forgetDiary();
    }
    writer_.post([store = &store_, data = std::exchange(snapshot_, {})] { store->write(data); });
}

void RecoveryKeeper::forgetDiary()
{
    lastDiary_.clear();
    lastDiaryChanges_ = ~quint64(0);
}

// Everything of the entry but the body, which is read in slices like the diary.
RecoveryData RecoveryKeeper::entryFields() const
{
    RecoveryData data;
    data.year = today_->YearEdit->text();
    data.month = today_->MonthEdit->text();
    data.day = today_->DateEdit->text();
    data.weekdayText = today_->DayBox->currentText();
    data.weekdayItem = today_->DayBox->currentIndex();
    data.weatherText = today_->WeatherBox->currentText();
    data.weatherItem = today_->WeatherBox->currentIndex();
    data.title = document_->state().TodayTitle;
    data.titleCaption = today_->PanelDiaryTitle->text();
    data.titleShown = !today_->PanelDiaryTitle->isHidden();
    data.bodyModified = today_->TodayMemo->document()->isModified();
    return data;
}

bool RecoveryKeeper::offerLeftovers()
{
    for (recovery::Leftover& leftover : store_.claimLeftovers()) {
        const std::optional<RecoveryData> data = readFile(leftover.path);
        if (!data)
            continue; // not ours to judge: it stays for a later version or a closer look
        if (askToRestore(messages_)) {
            restore(*data);
            store_.adopt(leftover);
            return true;
        }
        store_.discard(leftover);
    }
    return false;
}

void RecoveryKeeper::restore(const RecoveryData& data)
{
    today_->YearEdit->setText(data.year);
    today_->MonthEdit->setText(data.month);
    today_->DateEdit->setText(data.day);
    today_->DayBox->selectItem(data.weekdayItem);
    today_->DayBox->setTextKeepingItem(data.weekdayText);
    today_->WeatherBox->selectItem(data.weatherItem);
    today_->WeatherBox->setTextKeepingItem(data.weatherText);
    document_->state().TodayTitle = data.title;
    today_->PanelDiaryTitle->setText(data.titleCaption);
    today_->PanelDiaryTitle->setVisible(data.titleShown);
    setEditorText(today_->TodayMemo, data.body);
    today_->TodayMemo->document()->setModified(data.bodyModified);
    if (data.hasDiary)
        document_->RestoreUnsaved(data.diaryText,
                                  data.newDocument ? QStringLiteral("?") : data.fileName);
}

void RecoveryKeeper::finish()
{
    finished_ = true;
    pause_.stop();
    slices_.stop();
    writer_.stop();
    store_.remove();
    store_.removeFolderIfEmpty();
}
