// Pelmora as it starts for the writer, quitting as soon as its main window is shown.
#include "app/PelmoraApplication.h"

#include <QTimer>

int main(int argc, char** argv)
{
    return runPelmora(argc, argv, [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); });
}
