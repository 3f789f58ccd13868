#pragma once

#include "platform/KeyStore.h"

#include <QList>
#include <QPair>
#include <QString>

#include <memory>

class QSettings;

// The settings store as an INI file in the format of QSettings: the program's own store is
// "oribeko/Quillode.conf" in the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config),
// where QSettings in its native format, user scope, puts organisation "oribeko", application
// "Quillode".
//
// Reading goes through QSettings. A value that QSettings reads back as something other than a
// single text (a hand-edited "a,b" is a list, "@ByteArray(...)" binary data) is of the wrong
// kind; an empty value of any kind reads as empty text.
//
// Writing does not: QSettings (like QSaveFile) takes a write cut short by a full disk for a
// whole one. commit() writes the file itself, every value as quoted, escaped text that
// QSettings reads back exactly, and replaces the old file only once the new one is complete.
class QtKeyStore : public KeyStore {
public:
    QtKeyStore();
    explicit QtKeyStore(QString filePath);
    ~QtKeyStore() override;

    // Where the program keeps its settings; follows XDG_CONFIG_HOME at the time of the call.
    static QString defaultFilePath();
    const QString& filePath() const { return path_; }

    // There is no store to read when the file is missing, empty, not a readable file, binary
    // (it holds a zero byte, which no text file of settings does) or so broken that QSettings
    // cannot make out its sections.
    bool open() override;
    // Fails only when the folder of the file can neither be found nor created.
    bool openOrCreate() override;
    Value read(const QString& name) override;
    void write(const QString& name, const QString& text) override;
    // The new file holds the staged values only, in the order they were written.
    bool commit() override;
    void close() override;

private:
    QString path_;
    std::unique_ptr<QSettings> settings_; // the store opened for reading
    bool writable_ = false;
    QList<QPair<QString, QString>> staged_;
};
