#pragma once

#include "app/ProgramFolder.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "platform/SystemInfo.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <deque>
#include <functional>
#include <optional>

// Scripted stand-ins for the outside world. Answers are given in advance; everything the
// program shows or asks for is recorded so a test can check the exact text.

class FakeMessages : public Messages {
public:
    std::deque<MsgAnswer> answers; // consumed in order; a box with no answer left fails the test
    QList<Message> shown;
    std::function<void(const Message&)> onShow; // runs while the box is "open"

    MsgAnswer show(const Message& message) override;
    void answer(std::initializer_list<MsgAnswer> list) { answers.insert(answers.end(), list); }
};

class FakeFileDialogs : public FileDialogs {
public:
    // One entry per showing: the path the writer picks, or nothing for Cancel.
    std::deque<std::optional<QString>> answers;
    QList<FileDialogSettings> opened; // the settings as each dialog was shown
    QList<FileDialogSettings> saved;

    bool openFile(FileDialogSettings& dialog) override;
    bool saveFile(FileDialogSettings& dialog) override;

private:
    bool pick(FileDialogSettings& dialog);
};

class FakeClipboard : public Clipboard {
public:
    QString content;
    // Set: another program (a clipboard manager) has replaced what was copied.
    std::optional<QString> changedByOthers;
    QString text() override { return changedByOthers.value_or(content); }
    void setText(const QString& text) override { content = text; }
};

class FakeClock : public Clock {
public:
    QDate date{2026, 12, 7};
    bool japanese = true; // Japanese or English day names
    QDate today() override { return date; }
    QString shortDayName(int dayOfWeek) override;
};

class FakeSystem : public SystemInfo {
public:
    QString programPath = QStringLiteral("/opt/pelmora/pelmora");
    QList<SystemSound> sounds;
    QString programFilePath() override { return programPath; }
    QString workFolder() override { return programFolderOf(programPath); }
    void playSound(SystemSound sound) override { sounds.append(sound); }
    QStringList browsed;      // the files opened in the browser, in order
    bool browserFound = true; // false: no browser starts
    bool openInBrowser(const QString& filePath) override
    {
        browsed.append(filePath);
        return browserFound;
    }
};

class FakeFiles : public Files {
public:
    QMap<QString, QByteArray> files;
    QSet<QString> readOnly;      // exist, can be read, refuse writing
    QSet<QString> unreadable;    // exist, refuse reading
    QSet<QString> failingWrites; // writable, but the write fails (a full disk)
    QSet<QString> undeletable;
    QSet<QString> notRegular;            // a pipe or a device: there, but no regular file
    QSet<QString> missingFolders;        // folders that are not there
    QMap<QString, QDateTime> modified;   // set anew to play another program changing a file
    QMap<QString, qint64> reportedSizes; // sizes too big to hold in a test
    QMap<QString, quint64> devices;      // set anew to play a file now on another disk
    QList<QString> reads;                // every readAll, in order

    std::optional<QByteArray> readAll(const QString& path) override;
    bool writeAll(const QString& path, const QByteArray& bytes) override;
    bool exists(const QString& path) override;
    std::optional<FileStamp> stamp(const QString& path) override;
    bool folderExists(const QString& path) override;
    bool isWritable(const QString& path) override;
    bool remove(const QString& path) override;
};

class FakeKeyStore : public KeyStore {
public:
    bool present = false;      // the store exists
    bool cannotCreate = false; // openOrCreate fails
    bool commitFails = false;
    QMap<QString, Value> values;
    QMap<QString, QString> staged;
    QList<QString> readOrder;
    QList<QString> writeOrder;
    int commits = 0;

    bool open() override { return present; }
    bool openOrCreate() override;
    Value read(const QString& name) override;
    void write(const QString& name, const QString& text) override;
    bool commit() override;
    void close() override {}
};

struct FakePlatform {
    FakeMessages messages;
    FakeFileDialogs fileDialogs;
    FakeClipboard clipboard;
    FakeClock clock;
    FakeSystem system;
    FakeFiles files;
    FakeKeyStore keyStore;

    Platform platform()
    {
        return {messages, fileDialogs, clipboard, clock, system, files, keyStore};
    }
};
