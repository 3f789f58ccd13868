#pragma once

#include <QString>

class Files;

// What the version and link windows tell about the program and the machine it runs on.
namespace about {

// The program's README: the one in the program folder, else the one in the folder above it
// (a build folder inside the checkout), else the one in docFolder (where an installed program's
// README goes), else where it belongs, in the program folder.
QString readmePath(Files& files, const QString& programFolder, const QString& docFolder);

// The user guide "guide.md": for the installed program the installed one in installedDocFolder;
// for a program in a build tree the checkout's own in sourceDocFolder, else an installed one.
// Empty when there is none.
QString guidePath(Files& files, bool installed, const QString& sourceDocFolder,
                  const QString& installedDocFolder);

// Installed memory as "N,NNN MB" (megabytes of 1,048,576 bytes, rounded down); "不明" when the
// system did not say (zero or less).
QString memoryText(qint64 bytes);

// The running system: its product name and version, and its kernel.
QString systemText();
// The memory the running system reports, in bytes; 0 when it cannot be read.
qint64 installedMemory();

} // namespace about
