#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class Messages;

// The folders of the program's own files as one start finds them. A folder another user could
// have put files into is not used; the writer is told once why, and what was found in the
// folders that are used that was not the writer's own.
struct OwnFolders {
    QString state;          // the state folder; empty when it may not be trusted
    QString work;           // the folder of the work file and the base template
    QStringList refusals;   // for each folder not used: which and why
    QStringList setAside;   // files found in the state folder that were not the writer's own
    QString socketFallback; // where the instance socket goes when the runtime folder is refused
    // A folder of the writer's own, for this run only, in place of a work folder refused.
    std::unique_ptr<QTemporaryDir> privateWork;
};

// Looks at the state folder and, when the work folder is the writer's data folder, at that one;
// moves what is not the writer's own out of the state folder. A work folder that is refused is
// replaced by a new folder in the temporary folder, removed when the program ends.
OwnFolders checkOwnFolders(const QString& programFilePath);

// Adds the refusal of the runtime folder, when the socket has to go elsewhere.
void noteRuntimeRefusal(OwnFolders& folders, const QString& runtimeFolder, const QString& why);

// Tells the writer, in one message, which folders are not used and why and which files were
// moved; nothing when there is nothing to tell.
void tellOwnFolders(Messages& messages, const OwnFolders& folders);
