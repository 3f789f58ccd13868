#pragma once

#include "preview/PageView.h"

#include <QStringList>

// The files the preview's engine library may be, in the order tried: for the program installed
// in installedProgramFolder, the library folder it is installed with; for a program in a build
// tree, its own folder and then the build tree's top.
QStringList previewLibraryFiles(const QString& programFolder);

// The library's maker of panes, from the first of `files` that loads; null, with what went wrong in
// `error`, when none does. The OpenGL context the engine shares with the windows is made first.
MakePageView loadPageViewMaker(const QStringList& files, QString& error);
