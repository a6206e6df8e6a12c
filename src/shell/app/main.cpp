#include "shell/app/QuillmarkApp.h"

int main(int argc, char** argv)
{
    QuillmarkApp::SetIdentity();
    // Asked for its help or version, the program answers without opening a
    // window, also where there is no display.
    if (QuillmarkApp::AsksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        QuillmarkApp::ReadCommandLine(app);
        return 0;
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QuillmarkApp app(argc, argv);
    return app.Run();
}
