#pragma once

#include <QJsonObject>
#include <QString>

class KeyStore;

// A feature's settings for one diary file, kept in the settings store as one value named
// `prefix` and a hash of the diary's path. The path is kept inside the value as well, so the file
// reads plainly and a value is never taken for another diary's.

// The value's fields; none when there is no value for that diary or it cannot be read.
QJsonObject readDiaryValue(KeyStore& store, const QString& prefix, const QString& diaryPath);
// Keeps the fields for that diary; false when the store could not be written.
bool writeDiaryValue(KeyStore& store, const QString& prefix, const QString& diaryPath,
                     QJsonObject fields);
