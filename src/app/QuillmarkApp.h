#pragma once

#include <QApplication>

// The application: runs the main window and ends when it closes.
class QuillmarkApp : public QApplication
{
    Q_OBJECT

public:
    QuillmarkApp(int& argc, char** argv);

    int Run();
};
