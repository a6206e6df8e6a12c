#include "shell/app/QuillmarkApp.h"

int main(int argc, char** argv)
{
    QuillmarkApp::setIdentity();
    // Asked for its help or version, the program answers without opening a
    // window, also where there is no display.
    if (QuillmarkApp::asksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        QuillmarkApp::readCommandLine(app);
        return 0;
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QuillmarkApp app(argc, argv);
    return app.run();
}
