#include "platform/QtPlatform.h"

#include "platform/WebBrowser.h"

#include "storage/SafeWrite.h"
#include "storage/WholeFile.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Stop: return QMessageBox::Critical;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton qtButton(MsgAnswer answer)
{
    switch (answer) {
    case MsgAnswer::Yes: return QMessageBox::Yes;
    case MsgAnswer::No: return QMessageBox::No;
    case MsgAnswer::Cancel: return QMessageBox::Cancel;
    case MsgAnswer::Ok: break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons qtButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

MsgAnswer escapeAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo: return MsgAnswer::No;
    case MsgButtons::YesNoCancel: return MsgAnswer::Cancel;
    case MsgButtons::Ok: break;
    }
    return MsgAnswer::Ok;
}

MsgAnswer fromQt(int button)
{
    switch (button) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    default: return MsgAnswer::Ok;
    }
}

// Qt reads a filter's patterns from the last parentheses of its text, and "*.*" there matches
// only names with a dot. Each entry is given to Qt as its description followed by its real
// patterns ("*.*" as "*"); the dialog is told to hide that added part, so the description shows
// exactly as written.
QStringList qtFilters(const QList<FilterEntry>& entries)
{
    QStringList filters;
    for (const FilterEntry& entry : entries) {
        QStringList patterns;
        for (const QString& pattern : entry.patterns)
            patterns.append(pattern == u"*.*" ? QStringLiteral("*") : pattern);
        filters.append(entry.description + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return filters;
}

bool runFileDialog(FileDialogSettings& settings, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(QApplication::activeWindow(), settings.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.overwritePrompt);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setDefaultSuffix(settings.defaultExt);
    const QList<FilterEntry> entries = parseFilter(settings.filter);
    const QStringList filters = qtFilters(entries);
    dialog.setNameFilters(filters);
    if (settings.filterIndex >= 1 && settings.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(settings.filterIndex - 1));
    if (!settings.fileName.isEmpty())
        dialog.selectFile(settings.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    settings.fileName = dialog.selectedFiles().constFirst();
    // The selected filter comes back in full or, with its details hidden, as the description.
    const QString selected = dialog.selectedNameFilter();
    qsizetype index = filters.indexOf(selected);
    for (qsizetype i = 0; index < 0 && i < entries.size(); ++i) {
        if (entries.at(i).description == selected)
            index = i;
    }
    if (index >= 0)
        settings.filterIndex = int(index) + 1;
    return true;
}

} // namespace

QList<FilterEntry> parseFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QList<FilterEntry> entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries.append({parts.at(i), parts.at(i + 1).split(u';', Qt::SkipEmptyParts)});
    return entries;
}

MsgAnswer QtMessages::show(const Message& message)
{
    QMessageBox box(qtIcon(message.icon), message.caption, message.text, qtButtons(message.buttons),
                    QApplication::activeWindow());
    // The captions Windows gives these buttons in Japanese, whatever the system locale.
    const std::pair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Yes, QStringLiteral("はい")},
        {QMessageBox::No, QStringLiteral("いいえ")},
        {QMessageBox::Cancel, QStringLiteral("キャンセル")},
        {QMessageBox::Ok, QStringLiteral("OK")}};
    for (const auto& [button, caption] : captions) {
        if (QAbstractButton* shown = box.button(button))
            shown->setText(caption);
    }
    for (const auto& [answer, caption] : message.buttonCaptions) {
        if (QAbstractButton* shown = box.button(qtButton(answer)))
            shown->setText(caption);
    }
    box.setDefaultButton(qtButton(message.defaultButton));
    box.setEscapeButton(qtButton(escapeAnswer(message.buttons)));
    return fromQt(box.exec());
}

bool QtFileDialogs::openFile(FileDialogSettings& dialog)
{
    return runFileDialog(dialog, QFileDialog::AcceptOpen);
}

bool QtFileDialogs::saveFile(FileDialogSettings& dialog)
{
    return runFileDialog(dialog, QFileDialog::AcceptSave);
}

QString QtClipboard::text()
{
    return QGuiApplication::clipboard()->text();
}

void QtClipboard::setText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

QDate QtClock::today()
{
    return QDate::currentDate();
}

// The weekday box and the diary hold Japanese weekdays; many Japanese writers run their desktop
// in an English or C locale, whose "Mon" would go into the diary.
QString QtClock::shortDayName(int dayOfWeek)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).dayName(dayOfWeek, QLocale::ShortFormat);
}

QtSystem::QtSystem(WorkFolderRule workFolderOf) : workFolderOf_(std::move(workFolderOf)) {}

QString QtSystem::programFilePath()
{
    return QCoreApplication::applicationFilePath();
}

QString QtSystem::workFolder()
{
    const QString folder = workFolderOf_(programFilePath());
    if (!QFileInfo::exists(folder)) {
        // The writer's own files: only the writer may look in.
        const QString path = folder.chopped(1);
        QDir().mkpath(QFileInfo(path).path());
        QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

void QtSystem::playSound(SystemSound)
{
    // Linux has no system-wide question or information sound; the bell is what Qt offers.
    QApplication::beep();
}

// Not the handler of HTML files, which may be this editor: the desktop's web browser.
bool QtSystem::openInBrowser(const QString& filePath)
{
    return openInWebBrowser(filePath, QProcessEnvironment::systemEnvironment(), programFilePath());
}

QtFiles::QtFiles(QString backupFolder) : backupFolder_(std::move(backupFolder)) {}

std::optional<QByteArray> QtFiles::readAll(const QString& path)
{
    return readWholeFile(path);
}

bool QtFiles::writeAll(const QString& path, const QByteArray& bytes)
{
    return writeFileSafely(path, bytes, backupFolder_);
}

bool QtFiles::exists(const QString& path)
{
    return QFileInfo(path).isFile();
}

std::optional<FileStamp> QtFiles::stamp(const QString& path)
{
    const QFileInfo info(path);
    struct stat status {};
    if (!info.isFile() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileStamp{info.lastModified(), info.size(), quint64(status.st_dev)};
}

bool QtFiles::folderExists(const QString& path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

bool QtFiles::isWritable(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.isWritable();
    return QFileInfo(info.absolutePath()).isWritable();
}

bool QtFiles::remove(const QString& path)
{
    return QFile::remove(path);
}

bool QtFiles::writeNew(const QString& path, const QByteArray& bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    QFile file(path);
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        QFile::remove(path);
        return false;
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    if (!written)
        QFile::remove(path);
    return written;
}

std::optional<QByteArray> QtFiles::readOwn(const QString& path)
{
    return readOwnFile(path);
}
