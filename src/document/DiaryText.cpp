#include "document/DiaryText.h"

#include "core/AppError.h"
#include "platform/Files.h"
#include "text/Cp932.h"
#include "text/EncodingGuess.h"

namespace document {

DiaryFile readDiaryFile(Files& files, const QString& path)
{
    const AppError cannotOpen = cannotOpenError(path);
    // A pipe would block the program and a device may never end: neither is read.
    const std::optional<FileStamp> stamp = files.stamp(path);
    if (!stamp)
        throw cannotOpen;
    if (stamp->size > maxDiaryFileBytes)
        throw AppError(QStringLiteral("文字列の大きさが ﾒﾓ の制限を越えました"));
    const std::optional<QByteArray> bytes = files.readAll(path);
    if (!bytes)
        throw cannotOpen;
    return {text::decodeCp932ToEditor(*bytes), text::looksLikeUtf8(*bytes)};
}

AppError cannotOpenError(const QString& path)
{
    return AppError(QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(path));
}

QString readDiaryText(Files& files, const QString& path)
{
    return readDiaryFile(files, path).text;
}

QList<char32_t> writeDiaryText(Files& files, const QString& path, const QString& editorText)
{
    text::Encoded encoded = text::encodeCp932FromEditor(editorText);
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
