#pragma once

#include <QString>
#include <QStringList>

// The program's state folder: "pelmora" in the user's state folder ($XDG_STATE_HOME, by default
// ~/.local/state). It keeps the copies of files written in place and the recovery data.
QString stateFolder();

// Why the folder may not hold the program's own files, as the writer is told it; empty when it
// may. The folder must belong to the writer and be open to writing by no one else; so must each
// folder above it (or belong to root) up to the writer's home, a folder root owns with the sticky
// bit (/tmp) or the root folder. Links are followed; a part not made yet is not looked at.
QString folderDistrust(const QString& folder);

// Makes the state folder (and the folders above it) if it is not there, and leaves it readable
// by its owner only (0700), as every file made in it must be (0600): they name the writer's
// files and hold their text. False when it is not a folder afterwards or may not be trusted
// (see folderDistrust); such a folder is left as it is.
bool makeStateFolder(const QString& folder);

// Moves every file in the folder that is not the writer's own (a link or anything else that is
// not a regular file, another user's file, or one others may read or write) into its "damaged"
// folder, out of the program's way. The program's own sockets stay. Gives each file where it
// is now: in "damaged", or where it was when it could not be moved.
QStringList setAsideForeignFiles(const QString& folder);
