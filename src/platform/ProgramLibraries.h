#pragma once

#include <QString>
#include <QStringList>

// The program's parts that live in libraries of their own, loaded when first used because what
// they link (the browser engine, libcurl and the libraries behind it) would otherwise load at
// every start.

// The files a library named fileName may be, in the order tried: for the program installed in
// installedProgramFolder, the library folder it is installed with; for a program in a build
// tree, its own folder and then the build tree's top.
QStringList programLibraryFiles(const QString& programFolder, const QString& fileName);

// The function `symbol` from the first of `files` that loads; null, with what went wrong in
// `error`, when none does. A library is never unloaded: what it made stays usable.
QFunctionPointer resolveInLibraries(const QStringList& files, const char* symbol, QString& error);
