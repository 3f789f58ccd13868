#pragma once

#include <functional>

class CommandTable;
class FindBar;
struct MainState;

// Find and replace: adds the edit menu's four items to the slot "Edit.Find", each working in the
// bar under the editor of the tab in front, which activeBar gives.
void addFindCommands(CommandTable& table, const MainState& state,
                     std::function<FindBar*()> activeBar);
