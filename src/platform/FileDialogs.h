#pragma once

#include <QString>

// One standard open or save dialog as the program keeps it between showings.
struct FileDialogSettings {
    QString title;
    // Description and pattern list pairs joined by bars: "HTML(*.htm)|*.html;*.htm|...".
    QString filter;
    int filterIndex = 1; // 1-based, as the pairs are counted
    QString defaultExt;  // without the dot; appended when the chosen name has none
    QString fileName;    // the name shown at the next showing; the chosen name afterwards
    bool overwritePrompt = false;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Show the dialog modally. On OK, store the chosen path and filter in `dialog` and return true.
    virtual bool openFile(FileDialogSettings& dialog) = 0;
    virtual bool saveFile(FileDialogSettings& dialog) = 0;
};
