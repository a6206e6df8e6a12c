#include "app/QuillmarkApp.h"

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QuillmarkApp app(argc, argv);
    return app.Run();
}
