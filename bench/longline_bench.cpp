// Times a diary without line breaks in the real main window: the generated diary with its line
// ends taken out, opened as a file named at start is opened, until the editor has painted, with
// the HTML colours on and then off; then, colours on, a keystroke at the start
// of that one line and a jump to its end.
//
// Usage: longline_bench [megabytes ...]   (runs offscreen; default 1 2)

#include "DiaryGenerator.h"
#include "app/PelmoraApplication.h"
#include "app/TMainForm.h"
#include "core/MainState.h"
#include "document/DiaryFileTab.h"
#include "document/HtmlColoring.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>

namespace {

TMainForm* mainForm()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<TMainForm*>(window))
            return form;
    }
    return nullptr;
}

void paintNow(QPlainTextEdit* editor)
{
    editor->viewport()->repaint();
    QApplication::processEvents();
}

double openMs(TMainForm* form, const QString& path, bool colours)
{
    QPlainTextEdit* editor = form->diaryTab()->AllMemo;
    form->diaryTab()->setColoringOn(colours);
    const auto start = Timer::now();
    form->openGivenFile(path);
    paintNow(editor);
    return msSince(start);
}

double worstKey(QPlainTextEdit* editor, int count)
{
    double worst = 0;
    for (int i = 0; i < count; ++i) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("a"));
        const auto start = Timer::now();
        QApplication::sendEvent(editor, &press);
        paintNow(editor);
        worst = std::max(worst, msSince(start));
    }
    return worst;
}

// Answers "no" to the question whether to save the typed keys before the next open (within
// 10 ms, counted in that open).
void declineSaving()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::No)->click();
    });
    timer->start(10);
}

void measure(const QStringList& sizes, const QString& folder)
{
    declineSaving();
    TMainForm* form = mainForm();
    form->resize(800, 600);
    form->state().FirstPageChangeFlag = FirstPageChange::Never; // no explanation window
    QPlainTextEdit* editor = form->diaryTab()->AllMemo;
    for (const QString& size : sizes) {
        QByteArray bytes = generateDiary(size.toInt());
        bytes.replace("\r\n", "");
        const QString path = folder + QStringLiteral("/diary%1.htm").arg(size);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return;
        file.close();

        const double on = openMs(form, path, true);
        editor->moveCursor(QTextCursor::Start);
        const double key = worstKey(editor, 1);
        auto start = Timer::now();
        editor->moveCursor(QTextCursor::End);
        paintNow(editor);
        const double jump = msSince(start);
        const double off = openMs(form, path, false);
        std::printf("%s MB on one line (%lld chars): open %.0f ms with colours, %.0f ms without; "
                    "a key at its start %.0f ms; jump to its end %.0f ms\n",
                    qPrintable(size), static_cast<long long>(editor->document()->characterCount()),
                    on, off, key, jump);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    // The program's settings and recovery files stay in the temporary folder.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath(QStringLiteral("config"))));
    qputenv("XDG_STATE_HOME", QFile::encodeName(folder.filePath(QStringLiteral("state"))));
    QStringList sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLocal8Bit(argv[i]);
    if (sizes.isEmpty())
        sizes = {QStringLiteral("1"), QStringLiteral("2")};
    int noArguments = 1;
    return runPelmora(noArguments, argv, StartAs::Alone, [&] {
        measure(sizes, folder.path());
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    });
}
