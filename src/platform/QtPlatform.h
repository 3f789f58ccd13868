#pragma once

#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/SystemInfo.h"
#include "storage/StateFolder.h"

#include <QStringList>

#include <functional>

// The seams as the running program has them: Qt's message boxes, file dialogs, clipboard,
// the local clock and locale, the program's own path and the real file system.

class QtMessages : public Messages {
public:
    MsgAnswer show(const Message& message) override;
};

class QtFileDialogs : public FileDialogs {
public:
    bool openFile(FileDialogSettings& dialog) override;
    bool saveFile(FileDialogSettings& dialog) override;
};

class QtClipboard : public Clipboard {
public:
    QString text() override;
    void setText(const QString& text) override;
};

class QtClock : public Clock {
public:
    QDate today() override;
    QString shortDayName(int dayOfWeek) override;
};

class QtSystem : public SystemInfo {
public:
    // Chooses the work folder for the path of the program file.
    using WorkFolderRule = std::function<QString(const QString& programFilePath)>;
    // The folder the rule chooses is made, open to the writer only, when it is missing.
    explicit QtSystem(WorkFolderRule workFolderOf);

    QString programFilePath() override;
    QString workFolder() override;
    void playSound(SystemSound sound) override;
    bool openInBrowser(const QString& filePath) override;

private:
    WorkFolderRule workFolderOf_;
};

class QtFiles : public Files {
public:
    // backupFolder keeps the copy of a file written in place until the write is settled.
    explicit QtFiles(QString backupFolder = stateFolder());

    std::optional<QByteArray> readAll(const QString& path) override;
    bool writeAll(const QString& path, const QByteArray& bytes) override;
    bool exists(const QString& path) override;
    std::optional<FileStamp> stamp(const QString& path) override;
    bool folderExists(const QString& path) override;
    bool isWritable(const QString& path) override;
    bool remove(const QString& path) override;
    bool writeNew(const QString& path, const QByteArray& bytes) override;
    std::optional<QByteArray> readOwn(const QString& path) override;

private:
    QString backupFolder_;
};

// A filter written as "description|patterns|description|patterns" split into its pairs.
struct FilterEntry {
    QString description;
    QStringList patterns;
};
QList<FilterEntry> parseFilter(const QString& filter);
