#include "entry/BrWorkFile.h"

#include "platform/Files.h"
#include "platform/Messages.h"
#include "text/Cp932.h"

namespace entry {

namespace {

void showStop(Messages& messages, const QString& text, const QString& caption)
{
    messages.show({text, caption, MsgButtons::Ok, MsgIcon::Stop, MsgAnswer::Ok});
}

// The file's content as the lines of the body: each line followed by CR LF, a line break at
// the very end of the body giving no further line. Characters Shift-JIS cannot hold are written
// as references and listed in `unencodable`.
QByteArray workFileBytes(const QString& body, QList<char32_t>& unencodable)
{
    text::Encoded encoded = text::encodeCp932(body);
    unencodable = std::move(encoded.unencodable);
    QByteArray bytes = std::move(encoded.bytes);
    if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
        bytes += "\r\n";
    return bytes;
}

// The characters the work file held as references are the body's own again, so that a diary in
// an encoding that holds them (UTF-8) gets the characters themselves.
QString withCharactersBack(QString text, const QList<char32_t>& unencodable)
{
    for (char32_t c : unencodable)
        text.replace(QStringLiteral("&#%1;").arg(quint32(c)), QString::fromUcs4(&c, 1));
    return text;
}

// Reads the file as text, CR LF being one line end, and puts "<BR>" in place of each line end
// that AppendBrTag has room for.
QByteArray withBreakTags(const QByteArray& file)
{
    constexpr qsizetype longestRead = brLineBufferSize - 1;
    QByteArray result;
    result.reserve(file.size() + file.count('\n') * 4);
    qsizetype start = 0;
    while (start < file.size()) {
        qsizetype end = file.indexOf('\n', start);
        const bool hasLineEnd = end >= 0;
        if (!hasLineEnd)
            end = file.size();
        qsizetype textEnd = end;
        if (hasLineEnd && textEnd > start && file[textEnd - 1] == '\r')
            --textEnd;
        const QByteArrayView text(file.constData() + start, textEnd - start);

        if (hasLineEnd && text.size() + 1 > longestRead) {
            // Longer than one read: carried whole, never split, and it gets its "<BR>".
            result += text;
            result += "<BR>";
        } else {
            QByteArray line = text.toByteArray();
            if (hasLineEnd)
                line += '\n';
            AppendBrTag(line);
            if (line.endsWith('\n'))
                line.chop(1);
            result += line;
        }
        result += "\r\n";
        start = end + 1;
    }
    return result;
}

} // namespace

int AppendBrTag(QByteArray& line, qsizetype bufferSize)
{
    const qsizetype lineEnd = line.indexOf('\n');
    if (lineEnd < 0 || lineEnd + 4 > bufferSize)
        return 1;
    line.replace(lineEnd, line.size() - lineEnd, "<BR>");
    return 0;
}

QString brWorkFilePath(const QString& programFolder)
{
    return programFolder + QStringLiteral("temp.pmr");
}

BrBody BuildBrBody(Files& files, Messages& messages, const QString& programFolder,
                   const QString& body)
{
    const QString path = brWorkFilePath(programFolder);

    // A file left by an ended insertion, or anything someone else put there, goes; the work
    // file is always made new and read back only as the writer's own.
    if (files.exists(path) && (!files.isWritable(path) || !files.remove(path))) {
        showStop(
            messages,
            QStringLiteral("前回の作業ファイルが残っています。\n"
                           "削除を試みましたが、削除に失敗しました。\n"
                           "ライトプロテクトされている可能性があります。\n\n"
                           "申し訳ありませんが、作業ファイル（拡張子pmr）を手動で削除して下さい。"),
            QStringLiteral("Temp File WriteProtect Error."));
        return {BrResult::WriteProtected, {}};
    }

    QList<char32_t> unencodable;
    if (!files.writeNew(path, workFileBytes(body, unencodable))) {
        showStop(messages,
                 QStringLiteral("作業ファイルの書き込みに失敗しました。\n\n処理を続行できません。"),
                 QStringLiteral("File Writting Error."));
        return {BrResult::WriteFailed, {}};
    }

    const std::optional<QByteArray> file = files.readOwn(path);
    if (!file) {
        showStop(messages, QStringLiteral("作業ファイルのオープンに失敗しました。"),
                 QStringLiteral("File Open Error."));
        return {BrResult::OpenFailed, {}};
    }
    BrBody done{BrResult::Done,
                withCharactersBack(text::decodeCp932(withBreakTags(*file)), unencodable)};

    if (!files.remove(path)) {
        showStop(messages, QStringLiteral("作業ファイルの削除に失敗しました。"),
                 QStringLiteral("File Delete Error."));
    }
    return done;
}

} // namespace entry
