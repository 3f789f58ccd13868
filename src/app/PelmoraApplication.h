#pragma once

#include <QApplication>

#include <functional>

class ErrorHandler;

// The application object. It speaks Japanese in Qt's own dialogs whatever the system locale,
// shows the editors' Windows face names in the installed Japanese faces, and hands an error that
// escaped every command to the general error handler.
class PelmoraApplication : public QApplication {
    Q_OBJECT
public:
    PelmoraApplication(int& argc, char** argv);

    void setErrorHandler(ErrorHandler* handler) { errors_ = handler; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    ErrorHandler* errors_ = nullptr;
};

// How the program starts. As the writer's: one instance per user and display, and the first
// argument names a diary file to open. Alone: for test and benchmark programs, whose arguments are
// their own and which run beside any other instance.
enum class StartAs { Writer, Alone };

// Starts the program: creates its windows, shows the main window and runs until it closes.
// `afterShow` runs once the main window is shown (the start-up benchmark quits there). As the
// writer's, a start while another instance runs hands the file over to it and ends at once.
int runPelmora(int& argc, char** argv, StartAs startAs = StartAs::Writer,
               const std::function<void()>& afterShow = {});
