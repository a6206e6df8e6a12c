#include "core/directorydb/DirectoryProgress.h"

#include <algorithm>

NextDirectory FindNextDirectory(bool hasProfile, const std::vector<bool>& sent, int selected)
{
    if (!hasProfile)
        return {};
    const int count = int(sent.size());
    const int start = selected >= 0 && selected < count ? selected + 1 : 0;
    for (int step = 0; step < count; ++step) {
        const int row = (start + step) % count;
        if (!sent[std::size_t(row)])
            return {NextDirectory::Action::Choose, row};
    }
    return {NextDirectory::Action::AllSent, -1};
}

std::string ProgressText(bool hasProfile, const std::vector<bool>& sent)
{
    if (!hasProfile)
        return {};
    const auto done = std::count(sent.begin(), sent.end(), true);
    return "Sent to " + std::to_string(done) + " of " + std::to_string(sent.size()) +
        " directories";
}

std::string AllSentText(std::size_t directories)
{
    return "All " + std::to_string(directories) + " directories are sent for this profile";
}

std::string SentNextText(const std::string& nextName)
{
    return "Sent. Next: " + nextName + " (Ctrl+N)";
}

std::string SentText(
    const std::vector<bool>& sent, int sentRow, const std::function<std::string(int)>& nameAt)
{
    const NextDirectory next = FindNextDirectory(true, sent, sentRow);
    if (next.action != NextDirectory::Action::Choose)
        return AllSentText(sent.size());
    return SentNextText(nameAt(next.row));
}
