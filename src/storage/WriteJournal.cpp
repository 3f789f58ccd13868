#include "storage/WriteJournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QList>

#include <algorithm>

namespace {

const QByteArray journalHeader = "pelmora in-place write 1\n";
const QByteArray sumLabel = "sum ";

bool isSha256Hex(const QByteArray& text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// The text after `label` on the line at index, or nothing.
std::optional<QByteArray> fieldOf(const QList<QByteArray>& lines, qsizetype index,
                                  const QByteArray& label)
{
    if (index >= lines.size() || !lines[index].startsWith(label))
        return std::nullopt;
    return lines[index].mid(label.size());
}

std::optional<qint64> numberOf(const QByteArray& text)
{
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    return ok && number >= 0 ? std::optional(number) : std::nullopt;
}

// "<size> <hash>" as journal lines give them.
bool readSized(const std::optional<QByteArray>& field, qint64& size, QByteArray& hash)
{
    if (!field)
        return false;
    const QList<QByteArray> parts = field->split(' ');
    const std::optional<qint64> number = parts.size() == 2 ? numberOf(parts[0]) : std::nullopt;
    if (!number || !isSha256Hex(parts[1]))
        return false;
    size = *number;
    hash = parts[1];
    return true;
}

// The fields of a journal whose checksum has been checked; canonical form is checked by the
// caller, which writes them again and compares.
std::optional<WriteJournal> parseJournalBody(const QByteArray& body)
{
    if (!body.startsWith(journalHeader))
        return std::nullopt;
    QList<QByteArray> lines = body.mid(journalHeader.size()).split('\n');
    if (lines.size() != 6 || !lines.takeLast().isEmpty())
        return std::nullopt;
    const std::optional<QByteArray> device = fieldOf(lines, 0, "device ");
    const std::optional<QByteArray> inode = fieldOf(lines, 1, "inode ");
    const std::optional<QByteArray> target = fieldOf(lines, 4, "target ");
    if (!device || !inode || !target)
        return std::nullopt;
    WriteJournal journal;
    bool deviceOk = false, inodeOk = false;
    journal.device = device->toULongLong(&deviceOk);
    journal.inode = inode->toULongLong(&inodeOk);
    journal.target = QFile::decodeName(QByteArray::fromHex(*target));
    if (!deviceOk || !inodeOk || !QDir::isAbsolutePath(journal.target)
        || !readSized(fieldOf(lines, 2, "copy "), journal.copySize, journal.copyHash)
        || !readSized(fieldOf(lines, 3, "new "), journal.newSize, journal.newHash))
        return std::nullopt;
    return journal;
}

} // namespace

QByteArray sha256Hex(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray writeJournalBytes(const WriteJournal& journal)
{
    const QByteArray body = journalHeader + "device " + QByteArray::number(journal.device)
                            + "\ninode " + QByteArray::number(journal.inode) + "\ncopy "
                            + QByteArray::number(journal.copySize) + ' ' + journal.copyHash
                            + "\nnew " + QByteArray::number(journal.newSize) + ' ' + journal.newHash
                            + "\ntarget " + QFile::encodeName(journal.target).toHex() + '\n';
    return body + sumLabel + sha256Hex(body) + '\n';
}

std::optional<WriteJournal> readWriteJournal(const QByteArray& bytes)
{
    const qsizetype sumLine = bytes.lastIndexOf('\n' + sumLabel);
    if (sumLine < 0 || !bytes.endsWith('\n'))
        return std::nullopt;
    const QByteArray body = bytes.left(sumLine + 1);
    if (bytes.mid(body.size()) != sumLabel + sha256Hex(body) + '\n')
        return std::nullopt;
    const std::optional<WriteJournal> journal = parseJournalBody(body);
    // Only the one spelling the writer gives: no leading zeros, signs or odd hex.
    if (!journal || writeJournalBytes(*journal) != bytes)
        return std::nullopt;
    return journal;
}

QString namedTarget(const QByteArray& bytes)
{
    const QByteArray label = "\ntarget ";
    const qsizetype start = bytes.indexOf(label);
    if (start < 0)
        return {};
    const qsizetype from = start + label.size();
    const qsizetype end = bytes.indexOf('\n', from);
    const QByteArray hex = bytes.mid(from, end < 0 ? -1 : end - from);
    const QByteArray name = QByteArray::fromHex(hex);
    return name.toHex() == hex ? QFile::decodeName(name) : QString();
}
