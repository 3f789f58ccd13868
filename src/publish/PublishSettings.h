#pragma once

#include "publish/SiteAddress.h"

#include <QString>

class KeyStore;

// How one diary file is published. Each diary keeps its own (a writer may keep two diaries on
// two sites); none holds a password or a passphrase.
struct PublishSettings {
    SiteAddress site;
    bool sendAfterSave = false;
};

// The settings of the diary at `diaryPath`; a diary never set up has none (an empty host), and
// its file name on the site is its own.
PublishSettings loadPublishSettings(KeyStore& store, const QString& diaryPath);
// Stores the diary's settings at once, beside the program's other settings; false when the
// store could not be written.
bool savePublishSettings(KeyStore& store, const QString& diaryPath,
                         const PublishSettings& settings);
