#pragma once

#include <string>

// The directory list shows each directory's name and, while a profile is
// selected, whether it was sent for that profile.
std::string DirectoryListEntry(const std::string& directoryName, bool hasProfile, bool sent);

// The directory name of a list entry as earlier versions read it back: the
// text before the first " [". The database check refuses names it would cut.
std::string DirectoryNameFromEntry(const std::string& entry);
