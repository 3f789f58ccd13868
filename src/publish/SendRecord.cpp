#include "publish/SendRecord.h"

#include "storage/StateFolder.h"
#include "storage/WholeFile.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QByteArray lineOf(const SendEntry& entry)
{
    const QJsonObject object{{QStringLiteral("time"), entry.when.toString(Qt::ISODate)},
                             {QStringLiteral("site"), entry.site},
                             {QStringLiteral("files"), QJsonArray::fromStringList(entry.files)},
                             {QStringLiteral("result"), entry.result}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QList<QByteArray> recordLines(const QString& path)
{
    QList<QByteArray> lines = readOwnFile(path).value_or(QByteArray()).split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

} // namespace

QList<SendEntry> readSendRecord(const QString& path)
{
    QList<SendEntry> entries;
    for (const QByteArray& line : recordLines(path)) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.isEmpty())
            continue;
        QStringList files;
        for (const QJsonValue& file : object.value(QStringLiteral("files")).toArray())
            files.append(file.toString());
        entries.append(
            {QDateTime::fromString(object.value(QStringLiteral("time")).toString(), Qt::ISODate),
             object.value(QStringLiteral("site")).toString(), files,
             object.value(QStringLiteral("result")).toString()});
    }
    return entries;
}

bool addToSendRecord(const QString& path, const SendEntry& entry)
{
    QList<QByteArray> lines = recordLines(path);
    lines.append(lineOf(entry).chopped(1));
    QByteArray kept;
    for (const QByteArray& line : lines.mid(qMax<qsizetype>(0, lines.size() - sendRecordLength)))
        kept += line + '\n';
    const QString folder = QFileInfo(path).absolutePath();
    if (!makeStateFolder(folder))
        return false;
    return replaceOwnerOnlyFile(path, contentWriter(kept), FolderSync::BestEffort);
}
