#pragma once

#include <QString>

// Picks the data folder of the running program (see app/DataFolder.h), with
// `explicitFolder` from the command line (empty for none), makes it when it
// is missing and gives it a copy of the default dirdata.xml when it has
// none. Returns the folder's absolute path.
QString PrepareDataFolder(const QString& explicitFolder);
