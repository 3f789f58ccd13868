#pragma once

class Messages;
class FileDialogs;
class Clipboard;
class Clock;
class SystemInfo;
class Files;
class KeyStore;

// Everything the program needs from the outside world, handed to the windows as one bundle.
// The program passes the Qt implementations; tests pass scripted fakes.
struct Platform {
    Messages& messages;
    FileDialogs& fileDialogs;
    Clipboard& clipboard;
    Clock& clock;
    SystemInfo& system;
    Files& files;
    KeyStore& keyStore;
};
