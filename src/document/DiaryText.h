#pragma once

#include "text/EncodingGuess.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

class AppError;
class Files;

namespace document {

// The longest diary text the editor takes, in UTF-16 units. Opening one of this length (1.5
// million lines) takes about 5 s of processor time and 400 MB of memory, nearly all of it the
// editor's own.
constexpr qint64 maxDiaryCharacters = 64 * 1024 * 1024;
// The largest file read to find its text's length: UTF-8 holds a Japanese character in three
// bytes, Shift-JIS and EUC-JP in two, so no file beyond this holds a text the editor takes.
constexpr qint64 maxDiaryFileBytes = 3 * maxDiaryCharacters;

struct DiaryFile {
    QString text; // line ends LF, as the editors hold them
    // The encoding and line ends the text was read in (a save writes them), and the encoding the
    // file declares.
    text::EncodingGuess encoding;
    // The characters a save must write with the code they were read from (text::ReadCode).
    text::ReadCodes codes;
    QByteArray hash; // of the bytes read (see contentHash)
};

// What tells one content of a file from another when its size and time are the same.
QByteArray contentHash(const QByteArray& bytes);

// The text of a diary file as the editors hold it: read whole, decoded without losing a byte in
// the encoding guessEncoding finds (or in `encoding` when given; a UTF-8 byte order mark is kept
// apart either way), every line end (CR LF, a lone CR, a lone LF) made one LF; saving writes each
// as the line end all of them were (lineEndOf; CR LF for a file with more than one kind). Only a
// regular file is read, and only up to maxDiaryFileBytes. Throws AppError
// "ﾌｧｲﾙ <path> は開けません" when there is no regular file at path or it cannot be read, and
// "文字列の大きさが ﾒﾓ の制限を越えました" when its text is longer than maxDiaryCharacters (a
// file beyond maxDiaryFileBytes before it is read).
DiaryFile readDiaryFile(Files& files, const QString& path,
                        std::optional<text::Encoding> encoding = std::nullopt);
// The error "ﾌｧｲﾙ <path> は開けません".
AppError cannotOpenError(const QString& path);
QString readDiaryText(Files& files, const QString& path);

// Writes an editor's text to path in the encoding, each line break (LF, U+2029) as its line end
// and every other character byte for byte (those of `codes` as they were read), replacing the
// file only when every byte is written. Returns the characters the encoding cannot hold (written
// as "&#N;"). Throws AppError "ﾌｧｲﾙ <path> を作成できません" when the file cannot be written.
// writtenHash, when given, gets the contentHash of what was written.
QList<char32_t> writeDiaryText(Files& files, const QString& path, const QString& editorText,
                               text::FileEncoding encoding = {}, text::CodesRead codes = {},
                               QByteArray* writtenHash = nullptr);

// The notice shown after a save that had to write characters as numeric references.
QString unencodableNotice(const QList<char32_t>& characters, text::FileEncoding encoding = {});

// The notice shown when a file declares a charset its bytes are not written in.
QString declarationMismatchNotice(const QString& path, const text::EncodingGuess& guess);

// The number, from 0, of the first line where two texts with LF line ends differ; nothing when
// they are the same. Where one text ends and the other goes on, they differ at the line it ends on.
std::optional<int> firstDifferentLine(QStringView a, QStringView b);
// The caption of the file name display for a SetDiaryFileName argument: "?" is a new document.
QString fileNameCaption(const QString& name);

// Moves a just-saved path to the front of the three recent files: unchanged when it is already
// first, swapped with the first when second, else pushed in front with the last dropping out.
void rememberSavedFile(std::array<QString, 3>& recentFiles, const QString& path);

} // namespace document
