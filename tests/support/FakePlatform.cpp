#include "support/FakePlatform.h"

#include <QFileInfo>
#include <gtest/gtest.h>

MsgAnswer FakeMessages::show(const Message& message)
{
    shown.append(message);
    if (onShow)
        onShow(message);
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected message box: " << message.caption.toStdString() << " / "
                      << message.text.toStdString();
        return message.defaultButton;
    }
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool FakeFileDialogs::pick(FileDialogSettings& dialog)
{
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << dialog.title.toStdString();
        return false;
    }
    const std::optional<QString> answer = answers.front();
    answers.pop_front();
    if (!answer)
        return false;
    dialog.fileName = *answer;
    return true;
}

bool FakeFileDialogs::openFile(FileDialogSettings& dialog)
{
    opened.append(dialog);
    return pick(dialog);
}

bool FakeFileDialogs::saveFile(FileDialogSettings& dialog)
{
    saved.append(dialog);
    return pick(dialog);
}

QString FakeClock::shortDayName(int dayOfWeek)
{
    static const char16_t* const ja[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
    static const char* const en[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    const int i = dayOfWeek - 1;
    return japanese ? QString::fromUtf16(ja[i]) : QString::fromLatin1(en[i]);
}

std::optional<QByteArray> FakeFiles::readAll(const QString& path)
{
    reads.append(path);
    if (!files.contains(path) || unreadable.contains(path))
        return std::nullopt;
    return files.value(path);
}

bool FakeFiles::writeAll(const QString& path, const QByteArray& bytes)
{
    if (readOnly.contains(path) || failingWrites.contains(path))
        return false;
    files.insert(path, bytes);
    return true;
}

bool FakeFiles::exists(const QString& path)
{
    return files.contains(path) && !notRegular.contains(path);
}

std::optional<FileStamp> FakeFiles::stamp(const QString& path)
{
    if (!exists(path))
        return std::nullopt;
    return FileStamp{modified.value(path), reportedSizes.value(path, files.value(path).size()),
                     devices.value(path)};
}

bool FakeFiles::folderExists(const QString& path)
{
    return !missingFolders.contains(QFileInfo(path).path());
}

bool FakeFiles::isWritable(const QString& path)
{
    return !readOnly.contains(path);
}

bool FakeFiles::remove(const QString& path)
{
    if (undeletable.contains(path))
        return false;
    return files.remove(path) > 0;
}

bool FakeKeyStore::openOrCreate()
{
    if (cannotCreate)
        return false;
    present = true;
    return true;
}

KeyStore::Value FakeKeyStore::read(const QString& name)
{
    readOrder.append(name);
    return values.value(name, Value{Status::Missing, {}});
}

void FakeKeyStore::write(const QString& name, const QString& text)
{
    writeOrder.append(name);
    staged.insert(name, text);
}

bool FakeKeyStore::commit()
{
    if (commitFails) {
        staged.clear();
        return false;
    }
    for (auto it = staged.cbegin(); it != staged.cend(); ++it)
        values.insert(it.key(), Value{Status::Text, it.value()});
    staged.clear();
    ++commits;
    return true;
}
