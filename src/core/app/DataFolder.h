#pragma once

#include <string>

// What the program knows about itself when it picks its data folder.
struct DataFolderFacts
{
    // The folder named on the command line (--data-dir); empty when none was.
    std::string explicitFolder;
    // The folder the running program was started from.
    std::string programFolder;
    bool programFolderWritable = false;
    // Whether InstalledDatabasePath(programFolder) names a file that exists.
    bool installedDatabaseExists = false;
    // The user's own application data folder.
    std::string userFolder;
};

// Where dirdata.xml, mydirdata.xml and sv.dat are kept.
struct DataFolderChoice
{
    std::string folder;
    // The dirdata.xml that a folder without one starts from; empty when the
    // folder is the program's own, which holds its database already.
    std::string seedDatabase;
};

// The data folder: the explicit one when given; else the user's folder for
// an installed program, one in <prefix>/bin with the default database in
// <prefix>/share/quillmark/; else the program's own folder when it may be
// written to (the build tree, a copy in a folder of its own); else the
// user's folder. An installed program is told by its layout, not by its
// permissions: the administrator may write to <prefix>/bin, yet their data
// does not belong there.
DataFolderChoice ChooseDataFolder(const DataFolderFacts& facts);

// The default database of a program installed in `programFolder`:
// <prefix>/share/quillmark/dirdata.xml for <prefix>/bin; empty for a program
// in a folder of another name.
std::string InstalledDatabasePath(const std::string& programFolder);
