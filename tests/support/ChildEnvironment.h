#pragma once

#include <QProcessEnvironment>
#include <QString>

// The environment a test gives the program it starts in a child process: offscreen, with the
// state and configuration folders of the test's own, so that the writer's are never touched.
QProcessEnvironment childEnvironment(const QString& stateHome, const QString& configHome);
