#pragma once

#include <QList>
#include <QString>

#include <array>

class AppError;
class Files;

namespace document {

// The largest diary file the editor takes. Opening one of this size (1.5 million lines) takes
// about 5 s of processor time and 400 MB of memory, nearly all of it the editor's own.
constexpr qint64 maxDiaryFileBytes = 64 * 1024 * 1024;

struct DiaryFile {
    QString text;           // line ends LF, as the editors hold them
    bool looksUtf8 = false; // the bytes read as UTF-8 rather than Shift-JIS
};

// The text of a diary file as the editors hold it: read whole, decoded without losing a byte,
// every line end (CR LF, a lone CR, a lone LF) made one LF; saving writes each as CR LF. Only
// a regular file is read, and only up to maxDiaryFileBytes. Throws AppError
// "ﾌｧｲﾙ <path> は開けません" when there is no regular file at path or it cannot be read, and
// "文字列の大きさが ﾒﾓ の制限を越えました" when it is too big, before reading it.
DiaryFile readDiaryFile(Files& files, const QString& path);
// The error "ﾌｧｲﾙ <path> は開けません".
AppError cannotOpenError(const QString& path);
QString readDiaryText(Files& files, const QString& path);

// Writes an editor's text to path as Shift-JIS, each line break (LF, U+2029) as CR LF and every
// other character byte for byte, replacing the file only when every byte is written. Returns
// the characters Shift-JIS cannot hold (written as "&#N;"). Throws AppError
// "ﾌｧｲﾙ <path> を作成できません" when the file cannot be written.
QList<char32_t> writeDiaryText(Files& files, const QString& path, const QString& editorText);

// The notice shown after a save that had to write characters as numeric references.
QString unencodableNotice(const QList<char32_t>& characters);

// The caption of the file name display for a SetDiaryFileName argument: "?" is a new document.
QString fileNameCaption(const QString& name);

// Moves a just-saved path to the front of the three recent files: unchanged when it is already
// first, swapped with the first when second, else pushed in front with the last dropping out.
void rememberSavedFile(std::array<QString, 3>& recentFiles, const QString& path);

} // namespace document
