#include "app/QuillmarkApp.h"

#include "app/MainDialog.h"

QuillmarkApp::QuillmarkApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Quillmark"));
    setApplicationVersion(QStringLiteral("1.0.0.0"));
    setWindowIcon(QIcon(QStringLiteral(":/quillmark.png")));
}

int QuillmarkApp::Run()
{
    MainDialog dialog;
    dialog.exec();
    return 0;
}
