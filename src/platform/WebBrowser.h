#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// A program to start and the arguments to give it.
struct Launch {
    QString program;
    QStringList arguments;
};

// The arguments a desktop entry's Exec line asks for to open `url`, its field codes filled in
// (%u and %U the address, %f and %F the local file, %c the entry's name, %k its file, %i its
// icon); the address goes last when the line names none. Empty when the line cannot be read
// (a quote left open, no program).
QStringList execArguments(const QString& exec, const QUrl& url, const QString& name = {},
                          const QString& icon = {}, const QString& entryFile = {});

// How to open `url` in the writer's web browser, as `env` names it: the handler of http
// addresses in the desktop's settings (mimeapps.list, then the installed entries), the writer's
// default for HTML files, $BROWSER, Debian's x-www-browser, and xdg-open last, only when no
// handler of HTML files is known at all. Whatever starts `ownProgram` (this editor) is never
// chosen: a file handed to it would come back to the writer as a file to edit.
std::optional<Launch> findWebBrowser(const QUrl& url, const QProcessEnvironment& env,
                                     const QString& ownProgram);

// Starts the web browser on the file; false when none was found or it could not be started.
bool openInWebBrowser(const QString& filePath, const QProcessEnvironment& env,
                      const QString& ownProgram);
