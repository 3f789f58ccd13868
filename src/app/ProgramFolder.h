#pragma once

#include <QString>

// The folder of the program file, everything up to and including the last separator.
QString programFolderOf(const QString& programFilePath);
