#pragma once

#include <QString>

class KeyStore;

// The setting "日付の見出し" of one diary file: a line of the diary like the lines that start its
// entries, from which the date heading is taken. Each diary keeps its own, beside the program's
// other settings; a diary never set has none (an empty sample), and its entries are guessed.
QString loadHeadingSample(KeyStore& store, const QString& diaryPath);
// Stores the diary's sample at once (an empty one forgets it); false when the store could not
// be written.
bool saveHeadingSample(KeyStore& store, const QString& diaryPath, const QString& sample);
