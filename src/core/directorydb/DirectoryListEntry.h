#pragma once

#include <string>

// The directory list shows each directory's name and, while a profile is
// selected, whether it was sent for that profile.
std::string DirectoryListEntry(const std::string& directoryName, bool hasProfile, bool sent);

// The directory name of a list entry: the text before the first " [".
std::string DirectoryNameFromEntry(const std::string& entry);

// The entry of a directory that has just been sent.
std::string SentDirectoryEntry(const std::string& entry);
