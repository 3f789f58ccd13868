#include "document/DiaryText.h"

#include "core/AppError.h"
#include "platform/Files.h"
#include "text/Cp932.h"
#include "text/EncodingGuess.h"

namespace document {

namespace {

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(unsigned char b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

} // namespace

QByteArray normalizeLineEndBytes(QByteArrayView bytes)
{
    QByteArray result;
    result.reserve(bytes.size() + bytes.size() / 32 + 2);
    const qsizetype n = bytes.size();
    const char* data = bytes.data();
    qsizetype runStart = 0; // bytes are copied in runs up to the next line end that changes
    qsizetype i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (isLeadByte(b) && i + 1 < n && isTrailByte(static_cast<unsigned char>(data[i + 1]))) {
            i += 2;
        } else if (b == '\r') {
            if (i + 1 < n && data[i + 1] == '\n') {
                i += 2;
            } else {
                result.append(data + runStart, i - runStart).append("\r\n", 2);
                runStart = ++i;
            }
        } else if (b == '\n') {
            result.append(data + runStart, i - runStart).append("\r\n", 2);
            runStart = ++i;
        } else {
            ++i;
        }
    }
    result.append(data + runStart, n - runStart);
    return result;
}

DiaryFile readDiaryFile(Files& files, const QString& path)
{
    const AppError cannotOpen(QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(path));
    // A pipe would block the program and a device may never end: neither is read.
    const std::optional<FileStamp> stamp = files.stamp(path);
    if (!stamp)
        throw cannotOpen;
    if (stamp->size > maxDiaryFileBytes)
        throw AppError(QStringLiteral("文字列の大きさが ﾒﾓ の制限を越えました"));
    const std::optional<QByteArray> bytes = files.readAll(path);
    if (!bytes)
        throw cannotOpen;
    return {text::decodeCp932(normalizeLineEndBytes(*bytes)), text::looksLikeUtf8(*bytes)};
}

QString readDiaryText(Files& files, const QString& path)
{
    return readDiaryFile(files, path).text;
}

QList<char32_t> writeDiaryText(Files& files, const QString& path, const QString& text)
{
    text::Encoded encoded = text::encodeCp932(text);
    if (!files.writeAll(path, encoded.bytes))
        throw AppError(QStringLiteral("ﾌｧｲﾙ %1 を作成できません").arg(path));
    return std::move(encoded.unencodable);
}

QString unencodableNotice(const QList<char32_t>& characters)
{
    QString list;
    for (char32_t c : characters) {
        if (!list.isEmpty())
            list += u'\n';
        list += QString::fromUcs4(&c, 1) + QStringLiteral("  &#%1;").arg(quint32(c));
    }
    return QStringLiteral("次の文字は Shift-JIS で表せないため、数値文字参照として保存しました。\n"
                          "ブラウザでは元の文字として表示されます。\n\n")
        + list;
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
