#pragma once

#include "platform/KeyStore.h"

#include <QMap>
#include <QString>

#include <memory>

class QSettings;

// The settings store as an INI file in the format of QSettings: the program's own store is
// "oribeko/Quillode.conf" in the user's configuration folder ($XDG_CONFIG_HOME, else ~/.config),
// where QSettings in its native format, user scope, puts organisation "oribeko", application
// "Quillode".
//
// Every value is written as text and reads back exactly. A value that QSettings reads back as
// something other than a single text (a hand-edited "a,b" is a list, "@ByteArray(...)" binary
// data) is of the wrong kind; an empty value of any kind reads as empty text.
//
// commit() writes the staged values into a new file beside the old one and renames it over
// the old one, so the store is replaced whole or stays as it was.
class QtKeyStore : public KeyStore {
public:
    QtKeyStore();
    explicit QtKeyStore(QString filePath);
    ~QtKeyStore() override;

    // Where the program keeps its settings; follows XDG_CONFIG_HOME at the time of the call.
    static QString defaultFilePath();
    const QString& filePath() const { return path_; }

    // An empty file, one that is not a readable file, or one whose structure QSettings cannot
    // make out (binary junk) counts as no store.
    bool open() override;
    // Fails only when the folder of the file can neither be found nor created.
    bool openOrCreate() override;
    Value read(const QString& name) override;
    void write(const QString& name, const QString& text) override;
    // The new file holds the staged values only.
    bool commit() override;
    void close() override;

private:
    QString path_;
    std::unique_ptr<QSettings> settings_; // the store opened for reading
    bool writable_ = false;
    QMap<QString, QString> staged_;
};
