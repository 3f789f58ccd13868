#pragma once

struct FileDialogSettings;
class FileDialogs;
class Files;
class Messages;

// Shows the open or save dialog until the writer cancels or chooses a file that may be
// written: a choice in a folder that does not exist, or a write-protected one (the file, or for
// a new file its folder), is refused with a message and the dialog comes back at the same name.
// Qt's dialog cannot refuse such files itself.
bool chooseOpenFile(FileDialogs& dialogs, Files& files, Messages& messages,
                    FileDialogSettings& dialog);
bool chooseSaveFile(FileDialogs& dialogs, Files& files, Messages& messages,
                    FileDialogSettings& dialog);

// The dialogs' check of a chosen file (dialog.fileName), for a file chosen another way: true when
// it may be written, else the writer is told why not, as the dialog would.
bool mayWriteChosenFile(Files& files, Messages& messages, const FileDialogSettings& dialog);
