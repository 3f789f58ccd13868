#pragma once

#include <QString>

class KeyStore;

// What the preview lets a diary's page do beyond showing itself. Both are off until the writer
// switches them on; each diary keeps its own, as a diary from elsewhere deserves no trust that
// the writer gave another.
struct PreviewSwitches {
    bool runScripts = false; // the page's scripts run (never reading local files)
    bool loadRemote = false; // pictures and style sheets on the internet are loaded
    bool operator==(const PreviewSwitches&) const = default;
};

// The switches of the diary at `diaryPath`; both off for a diary never set, or not yet saved.
PreviewSwitches loadPreviewSwitches(KeyStore& store, const QString& diaryPath);
// Stores the diary's switches at once, beside the program's other settings; false when the store
// could not be written.
bool savePreviewSwitches(KeyStore& store, const QString& diaryPath,
                         const PreviewSwitches& switches);
