#pragma once

#include <QString>

enum class SystemSound { Question, Information };

// What the program asks of the system besides files, clock and dialogs.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // Full path of the program's own file.
    virtual QString programFilePath() = 0;
    // The folder of the base template and the work file, ending with the separator: the
    // program's own folder, or for an installed program the writer's data folder, made when
    // missing.
    virtual QString workFolder() = 0;
    virtual void playSound(SystemSound sound) = 0;
    // Opens the file in the desktop's web browser; false when no browser could be started.
    virtual bool openInBrowser(const QString& filePath) = 0;
};
