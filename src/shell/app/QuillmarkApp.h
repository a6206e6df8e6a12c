#pragma once

#include <QApplication>

// The application: reads the command line, picks the data folder and runs
// the main window, ending when it closes.
class QuillmarkApp : public QApplication
{
    Q_OBJECT

public:
    QuillmarkApp(int& argc, char** argv);

    int run();

    // The maker's and the program's version, for the command line and the
    // user's data folder; set before any application object is made.
    static void setIdentity();
    // Whether the arguments ask for text only (--help, --version), which
    // needs no window system: a plain QCoreApplication answers them.
    static bool asksForTextOnly(int argc, char** argv);
    // Reads the command line of `app`. --help, --version and arguments it
    // does not know print their text and end the process. Returns the
    // folder given with --data-dir, or an empty string.
    static QString readCommandLine(const QCoreApplication& app);
};
