#pragma once

#include <QString>

// The folder of the program file, everything up to and including the last separator.
QString programFolderOf(const QString& programFilePath);

// The folder that holds the base template "basehtml.txt" and the work file "temp.pmr", ending
// with the separator: the program's own folder when the writer may write there and it is not the
// folder the program is installed into (which root may write to as well), else the folder
// "pelmora/" in the writer's data folder (dataHome, e.g. ~/.local/share).
QString workFolderFor(const QString& programFolder, const QString& installedFolder,
                      bool programFolderWritable, const QString& dataHome);

// The work folder (see workFolderFor) of the program file at programFilePath on this system:
// the folder this build installs the program into, whether the program's folder may be written,
// the writer's data folder.
QString workFolderOf(const QString& programFilePath);
