#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

const QStringList helpNames{QStringLiteral("h"), QStringLiteral("help")};
const QStringList versionNames{QStringLiteral("v"), QStringLiteral("version")};

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Pelmora: Web 日記の HTML ファイルに今日の日記を書き込むエディタ"));
    parser.addOption({helpNames, QStringLiteral("この使い方を表示して終了します。")});
    parser.addOption({versionNames, QStringLiteral("バージョンを表示して終了します。")});
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("開く日記の HTML ファイル（省略できます）。"),
                                 QStringLiteral("[file]"));
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments)) {
        return {CommandLine::Ask::Wrong,
                {},
                QStringLiteral("pelmora: ") + parser.errorText()
                    + QStringLiteral("\n使い方は pelmora --help で表示されます。\n")};
    }
    if (parser.isSet(helpNames.first()))
        return {CommandLine::Ask::Help, {}, parser.helpText()};
    if (parser.isSet(versionNames.first())) {
        return {CommandLine::Ask::Version,
                {},
                QStringLiteral("Pelmora %1\n").arg(QStringLiteral(PELMORA_VERSION))};
    }
    const QStringList files = parser.positionalArguments();
    return {CommandLine::Ask::Run, files.isEmpty() ? QString() : files.first(), {}};
}

bool asksForText(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == u"--")
            return false;
        for (const QString& name : helpNames + versionNames) {
            if (argument == (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name)
                return true;
        }
    }
    return false;
}

int tell(const CommandLine& line)
{
    const bool refused = line.ask == CommandLine::Ask::Wrong;
    std::fputs(line.answer.toLocal8Bit().constData(), refused ? stderr : stdout);
    return refused ? 2 : 0;
}
