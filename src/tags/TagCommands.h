#pragma once

#include <QObject>

#include <QString>

#include <functional>
#include <optional>

class CommandTable;
class DiaryFileTab;
class Messages;
class QPlainTextEdit;
class TDecorationForm;
class TGraphicForm;
class TLinkForm;
class TodayEntryTab;
struct MainState;

// The three windows the tag commands show, each made when first asked for.
struct TagWindows {
    std::function<TLinkForm&()> link;
    std::function<TGraphicForm&()> graphic;
    std::function<TDecorationForm&()> decoration;
};

// The five tag commands of the main window. Each works on the active editor (TodayMemo while
// the first tab is in front, AllMemo while the second is): the tag goes in place of the
// selection, or at the caret when nothing is selected, and the caret ends after it. Every
// command ends with the refocus it is given, whatever happened on the way.
class TagCommands : public QObject {
    Q_OBJECT
public:
    TagCommands(MainState& state, QPlainTextEdit* todayMemo, QPlainTextEdit* allMemo,
                Messages& messages, TagWindows windows, std::function<void()> refocusEditor,
                QObject* parent = nullptr);

    // Adds the rows to the slot "Edit.Tags", with the tabs' buttons that give them.
    void addCommands(CommandTable& table, TodayEntryTab* today, DiaryFileTab* diary);

    void BRTagBtnClick();
    void HRBtnClick();
    // Link and decoration need a selection: it is handed to their window, and an empty one is
    // refused with a message instead of the window.
    void LinkTagBtnClick();
    void IMGBtnClick();
    void StyleBtnClick();

private:
    QPlainTextEdit* activeEditor() const;
    // Puts the text in place of the active editor's selection. A diary editor still showing
    // its placeholder (read-only, no document) is left alone.
    void insert(const QString& crlfText);
    // The active editor's selection; nothing (after the message) when there is none.
    std::optional<QString> captureSelection(const QString& refusal, const QString& caption);

    MainState& state_;
    QPlainTextEdit* todayMemo_;
    QPlainTextEdit* allMemo_;
    Messages& messages_;
    TagWindows windows_;
    std::function<void()> refocusEditor_;
};
