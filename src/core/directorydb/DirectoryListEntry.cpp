#include "core/directorydb/DirectoryListEntry.h"

std::string DirectoryListEntry(const std::string& directoryName, bool hasProfile, bool sent)
{
    if (!hasProfile)
        return directoryName;
    return directoryName + (sent ? " [sent]" : " [not sent]");
}

std::string DirectoryNameFromEntry(const std::string& entry)
{
    return entry.substr(0, entry.find(" ["));
}
