#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class KeyStore;
class Messages;
struct MainState;

// The settings that outlive a run: twenty text values read once while the main window is
// created and written once when it closes.

// The texts of values kept beside the twenty, by name; a name without a text value is absent.
using OtherTexts = QHash<QString, QString>;

// Reads the twenty values into the state, in their fixed order, each with its read rule, and
// the texts of the other values named into `others`, first, in the same reading of the store. A
// store that cannot be opened reads nothing and shows nothing. Throws AppError naming the value
// when one of the twenty is of the wrong kind; the values read before it stay, the rest keep what
// they held.
void loadSettings(KeyStore& store, MainState& state, const QStringList& otherNames = {},
                  OtherTexts* others = nullptr);

// Writes the twenty values in their fixed order. fontSize and fontFace are those of the editor at
// the time of saving. A store that cannot be created saves nothing and shows nothing; a failed
// write shows "レジストリに書き込めませんでした。" through messages. `others` (name, text) are
// written after them, in the same commit.
void saveSettings(KeyStore& store, const MainState& state, int fontSize, const QString& fontFace,
                  Messages& messages, const QList<std::pair<QString, QString>>& others = {});
