#pragma once

#include <QString>

#include <exception>
#include <functional>

// The general error handler: an error that reaches it is shown with its text followed by ".",
// and the program goes on. How the text is shown is given (platform/ErrorMessages: a stop
// message with the application title as caption).
class ErrorHandler {
public:
    using Show = std::function<void(const QString& text)>;
    explicit ErrorHandler(Show show) : show_(std::move(show)) {}

    void report(const std::exception& error);

    // Runs a command; an error it raises is reported. Returns false when one was.
    template <typename Command> bool run(Command&& command)
    {
        try {
            command();
            return true;
        } catch (const std::exception& error) {
            report(error);
            return false;
        }
    }

private:
    Show show_;
};
