#include "find/FindCommands.h"

#include "commands/CommandTable.h"
#include "core/MainState.h"
#include "find/FindBar.h"

void addFindCommands(CommandTable& table, const MainState& state,
                     std::function<FindBar*()> activeBar)
{
    using K = CommandRow::Kind;
    // In the first tab's editor, and in the second tab's once a diary document is there.
    auto offered = [&state] { return state.CurrentPage == Page::Today || state.DocumentLoaded; };
    auto bar = std::move(activeBar);
    table.addRows("Edit.Find", {
                                   {K::Separator, "NFind"},
                                   {K::Command,
                                    "EditFind",
                                    QStringLiteral("検索(&F)..."),
                                    {QKeySequence(Qt::CTRL | Qt::Key_F)},
                                    [bar] { bar()->openFind(); },
                                    offered},
                                   {K::Command,
                                    "EditFindNext",
                                    QStringLiteral("次を検索(&N)"),
                                    {QKeySequence(Qt::Key_F3)},
                                    [bar] { bar()->findNext(); },
                                    offered},
                                   {K::Command,
                                    "EditFindPrev",
                                    QStringLiteral("前を検索(&P)"),
                                    {QKeySequence(Qt::SHIFT | Qt::Key_F3)},
                                    [bar] { bar()->findPrevious(); },
                                    offered},
                                   // Ctrl+H is the rule tag.
                                   {K::Command,
                                    "EditReplace",
                                    QStringLiteral("置換(&R)..."),
                                    {QKeySequence(Qt::CTRL | Qt::Key_R)},
                                    [bar] { bar()->openReplace(); },
                                    offered},
                               });
}
