#include "shell/app/DataFolderSetup.h"

#include "core/app/DataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString PrepareDataFolder(const QString& explicitFolder)
{
    DataFolderFacts facts;
    if (!explicitFolder.isEmpty())
        facts.explicitFolder = QDir(explicitFolder).absolutePath().toStdString();
    const QString programFolder = QCoreApplication::applicationDirPath();
    facts.programFolder = programFolder.toStdString();
    facts.programFolderWritable = QFileInfo(programFolder).isWritable();
    const std::string installedDatabase = InstalledDatabasePath(facts.programFolder);
    facts.installedDatabaseExists =
        !installedDatabase.empty() && QFileInfo::exists(QString::fromStdString(installedDatabase));
    facts.userFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString();

    const DataFolderChoice choice = ChooseDataFolder(facts);
    const QString folder = QString::fromStdString(choice.folder);
    // What fails here is said later, naming the file: the database that
    // cannot be loaded, the profiles that cannot be saved.
    QDir().mkpath(folder);
    const QString database = QDir(folder).filePath(QStringLiteral("dirdata.xml"));
    if (!choice.seedDatabase.empty() && !QFileInfo::exists(database)) {
        QFile::copy(QString::fromStdString(choice.seedDatabase), database);
        // The copy of a read-only installed file must still take updates.
        QFile::setPermissions(database, QFile::permissions(database) | QFile::WriteOwner);
    }
    return folder;
}
