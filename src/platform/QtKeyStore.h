#pragma once

#include "platform/KeyStore.h"

#include <QMap>

#include <memory>

class QSettings;

// The settings store of the running program: QSettings in its native format (an INI file on
// Linux), user scope, organisation "oribeko", application "Quillode".
class QtKeyStore : public KeyStore {
public:
    QtKeyStore();
    ~QtKeyStore() override;

    bool open() override;
    bool openOrCreate() override;
    Value read(const QString& name) override;
    void write(const QString& name, const QString& text) override;
    bool commit() override;
    void close() override;

private:
    std::unique_ptr<QSettings> settings_;
    QMap<QString, QString> staged_;
};
