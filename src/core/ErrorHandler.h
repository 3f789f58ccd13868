#pragma once

#include <exception>

class Messages;

// The general error handler: an error that reaches it is shown with its text followed by ".",
// a stop icon and the application title as caption, and the program goes on.
class ErrorHandler {
public:
    explicit ErrorHandler(Messages& messages) : messages_(messages) {}

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
    Messages& messages_;
};
