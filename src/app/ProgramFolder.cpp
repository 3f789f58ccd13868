#include "app/ProgramFolder.h"

QString programFolderOf(const QString& programFilePath)
{
    return programFilePath.left(programFilePath.lastIndexOf(u'/') + 1);
}
