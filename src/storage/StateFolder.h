#pragma once

#include <QString>

// The program's state folder: "pelmora" in the user's state folder ($XDG_STATE_HOME, by default
// ~/.local/state). It keeps the copies of files written in place and the recovery data.
QString stateFolder();

// Makes the state folder (and the folders above it) if it is not there, and leaves it readable
// by its owner only (0700), as every file made in it must be (0600): they name the writer's
// files and hold their text. False when it is not a folder afterwards.
bool makeStateFolder(const QString& folder);
