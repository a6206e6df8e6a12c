#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <unistd.h>

// Sets up a process that runs the real browser engine without a display:
// the offscreen platform, the sandbox off as root (it refuses to run
// there), and a home folder of the run's own, so that the browser profile
// and every other file of the program go to a fresh place, never the user's
// own nor that of another test run at the same time. Call before the
// application object is made.
inline void PrepareBrowserTestProcess()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    static const struct Home
    {
        Home()
        {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "quillmark-home-XXXXXX").string();
            if (!::mkdtemp(pattern.data()))
                throw std::runtime_error("cannot make a home folder for the test run");
            path = pattern;
            qputenv("HOME", QByteArray::fromStdString(path));
        }
        ~Home()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        std::string path;
    } home;

    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
