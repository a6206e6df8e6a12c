#include "shell/app/QuillmarkApp.h"

#include "shell/app/DataFolderSetup.h"
#include "shell/app/MainWindow.h"

#include <QCommandLineParser>

#include <cstring>
#include <utility>

QuillmarkApp::QuillmarkApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setWindowIcon(QIcon(QStringLiteral(":/quillmark.png")));
    // The menu entry's name: desktops match the windows to it.
    setDesktopFileName(QStringLiteral("example.quillmark.Quillmark"));
}

void QuillmarkApp::setIdentity()
{
    setOrganizationName(QStringLiteral("Quillmark"));
    setApplicationVersion(QStringLiteral("1.0.0.0"));
}

bool QuillmarkApp::asksForTextOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

QString QuillmarkApp::readCommandLine(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("Fills the submission forms of article directories from your profiles."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataFolder(QStringLiteral("data-dir"),
        tr("Keep dirdata.xml, mydirdata.xml and sv.dat in <folder>."), tr("folder"));
    parser.addOption(dataFolder);
    parser.process(app);
    return parser.value(dataFolder);
}

int QuillmarkApp::run()
{
    const QString explicitFolder = readCommandLine(*this);
    MainWindow::Settings settings = MainWindow::Settings::defaults();
    settings.dataFolder = PrepareDataFolder(explicitFolder);
    MainWindow window(std::move(settings));
    window.show();
    return exec();
}
