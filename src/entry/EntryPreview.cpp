#include "entry/EntryPreview.h"

#include "entry/BrWorkFile.h"
#include "platform/Files.h"
#include "platform/Messages.h"

#include <QMap>

namespace entry {

namespace {

// The work file kept in memory, so that a preview never touches the disk.
class MemoryFiles : public Files {
public:
    std::optional<QByteArray> readAll(const QString& path) override
    {
        return files_.contains(path) ? std::optional(files_.value(path)) : std::nullopt;
    }
    bool writeAll(const QString& path, const QByteArray& bytes) override
    {
        files_.insert(path, bytes);
        return true;
    }
    bool exists(const QString& path) override { return files_.contains(path); }
    std::optional<FileStamp> stamp(const QString& /*path*/) override { return std::nullopt; }
    bool folderExists(const QString& /*path*/) override { return true; }
    bool isWritable(const QString& /*path*/) override { return true; }
    bool remove(const QString& path) override { return files_.remove(path) > 0; }

private:
    QMap<QString, QByteArray> files_;
};

// Files in memory do not fail, so there is nothing to tell.
class NoMessages : public Messages {
public:
    MsgAnswer show(const Message& /*message*/) override { return MsgAnswer::Ok; }
};

QString bodyAsInserted(const HtmlSettings& html, const QString& body)
{
    if (!switchesForRendering(html.HtmlSetFlags).autoBreaks)
        return body;
    MemoryFiles files;
    NoMessages messages;
    return BuildBrBody(files, messages, QString(), body).text;
}

} // namespace

QString previewEntry(const TodayEntry& entry, const HtmlSettings& html, const QString& body,
                     const QString& weatherColour)
{
    QString text;
    for (const EntryPiece& piece : renderEntry(entry, html)) {
        switch (piece.kind) {
        case PieceKind::Text: text += piece.text; break;
        case PieceKind::WeatherColour: text += weatherColour; break;
        case PieceKind::Body: text += bodyAsInserted(html, body); break;
        }
    }
    return text;
}

} // namespace entry
