#include "document/DiaryText.h"

#include "core/AppError.h"
#include "platform/Files.h"
#include "text/TextEncoding.h"

#include <QCryptographicHash>

#include <algorithm>

namespace document {

DiaryFile readDiaryFile(Files& files, const QString& path, std::optional<text::Encoding> encoding)
{
    const AppError cannotOpen = cannotOpenError(path);
    // A pipe would block the program and a device may never end: neither is read.
    const std::optional<FileStamp> stamp = files.stamp(path);
    if (!stamp)
        throw cannotOpen;
    const AppError tooLong(QStringLiteral("文字列の大きさが ﾒﾓ の制限を越えました"));
    if (stamp->size > maxDiaryFileBytes)
        throw tooLong;
    const std::optional<QByteArray> bytes = files.readAll(path);
    if (!bytes)
        throw cannotOpen;
    text::EncodingGuess guess;
    if (encoding)
        guess.used = {*encoding,
                      *encoding == text::Encoding::Utf8 && bytes->startsWith("\xEF\xBB\xBF")};
    else
        guess = text::guessEncoding(*bytes);
    guess.used.lineEnd = text::lineEndOf(*bytes);
    DiaryFile file{{}, guess, {}, contentHash(*bytes)};
    file.text = text::decodeToEditor(*bytes, guess.used, &file.codes);
    if (file.text.size() > maxDiaryCharacters)
        throw tooLong;
    return file;
}

AppError cannotOpenError(const QString& path)
{
    return AppError(QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(path));
}

QString readDiaryText(Files& files, const QString& path)
{
    return readDiaryFile(files, path).text;
}

QByteArray contentHash(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QList<char32_t> writeDiaryText(Files& files, const QString& path, const QString& editorText,
                               text::FileEncoding encoding, text::CodesRead codes,
                               QByteArray* writtenHash)
{
    text::Encoded encoded = text::encodeFromEditor(editorText, encoding, codes);
    if (!files.writeAll(path, encoded.bytes))
        throw AppError(QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(path));
    if (writtenHash)
        *writtenHash = contentHash(encoded.bytes);
    return std::move(encoded.unencodable);
}

QString unencodableNotice(const QList<char32_t>& characters, text::FileEncoding encoding)
{
    QString list;
    for (char32_t c : characters) {
        if (!list.isEmpty())
            list += u'\n';
        list += QString::fromUcs4(&c, 1) + QStringLiteral("  &#%1;").arg(quint32(c));
    }
    return QStringLiteral("次の文字は ") + text::encodingName(encoding)
           + QStringLiteral(" で表せないため、数値文字参照として保存しました。\n"
                            "ブラウザでは元の文字として表示されます。\n\n")
           + list;
}

QString declarationMismatchNotice(const QString& path, const text::EncodingGuess& guess)
{
    const QString declared = text::charsetLabel(guess.declared.value_or(text::Encoding::ShiftJis));
    const QString used = text::encodingName(guess.used);
    return QStringLiteral("ファイル ") + path + QStringLiteral(" は文字コードを ") + declared
           + QStringLiteral(" と宣言していますが、中身は ") + declared
           + QStringLiteral(" ではないため、") + used
           + QStringLiteral(" として読み込みました。\n保存も ") + used
           + QStringLiteral(" で行います。別の文字コードで読むには「文字コードを指定して開き直す」"
                            "を使ってください。");
}

std::optional<int> firstDifferentLine(QStringView a, QStringView b)
{
    if (a == b)
        return std::nullopt;
    const qsizetype common = std::min(a.size(), b.size());
    qsizetype k = 0;
    while (k < common && a[k] == b[k])
        ++k;
    return int(a.first(k).count(u'\n'));
}

QString fileNameCaption(const QString& name)
{
    return name == u"?" ? QStringLiteral("New File.") : name;
}

void rememberSavedFile(std::array<QString, 3>& recentFiles, const QString& path)
{
    if (path == recentFiles[0])
        return;
    if (path == recentFiles[1]) {
        std::swap(recentFiles[0], recentFiles[1]);
        return;
    }
    recentFiles[2] = recentFiles[1];
    recentFiles[1] = recentFiles[0];
    recentFiles[0] = path;
}

} // namespace document
