#pragma once

#include "platform/KeyStore.h"
#include "settings/IniFile.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// The settings store as an INI file in the format of QSettings: the program's own store is
// "<organisation>/<application>.conf" in the user's configuration folder ($XDG_CONFIG_HOME,
// else ~/.config), where QSettings in its native format, user scope, puts them (the names are
// in core/AppInfo.h). How values are read and written is IniFile's business.
//
// commit() rewrites the staged values in the file as it is at that moment and keeps every other
// line of it. It replaces the old file only once the new one is complete and on the disk.
class QtKeyStore : public KeyStore {
public:
    QtKeyStore();
    explicit QtKeyStore(QString filePath);
    ~QtKeyStore() override;

    // Where the program keeps its settings; follows XDG_CONFIG_HOME at the time of the call.
    static QString defaultFilePath();
    const QString& filePath() const { return path_; }

    // There is no store to read when the file is missing, empty, or not a readable file. Any
    // bytes read are a settings file (see IniFile).
    bool open() override;
    // Fails only when the folder of the file can neither be found nor created.
    bool openOrCreate() override;
    Value read(const QString& name) override;
    void write(const QString& name, const QString& text) override;
    // Every line of the file that is not a staged value's stays as it is. A file that is there but
    // cannot be read whole (or is no regular file) is left as it is, and the commit fails.
    bool commit() override;
    void close() override;

private:
    QString path_;
    std::optional<IniFile> file_; // the store opened for reading
    bool writable_ = false;
    QList<QPair<QString, QString>> staged_;
};
