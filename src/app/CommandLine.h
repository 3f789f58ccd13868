#pragma once

#include <QString>
#include <QStringList>

// What the writer's command line asks for: to run, opening the diary it names (if any), or only
// a text on the terminal (the usage, the version, or why the line was refused).
struct CommandLine {
    enum class Ask { Run, Help, Version, Wrong };
    Ask ask = Ask::Run;
    QString file;   // the first file named, as given; empty when none was
    QString answer; // the text for the terminal when ask is not Run
};

// Reads the arguments, the program's own name first (Qt's own options, such as -platform, are
// taken out by the application object before).
CommandLine readCommandLine(const QStringList& arguments);

// True when argv asks for the usage or the version: those are answered before the program
// connects to a display, so that they work where there is none.
bool asksForText(int argc, char** argv);

// Writes the answer (the usage and the version to standard output, a refusal to standard error)
// and returns the exit status: 0, or 2 for a refused line.
int tell(const CommandLine& line);
