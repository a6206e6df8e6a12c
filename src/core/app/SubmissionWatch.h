#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// After a submission the page that follows is checked once more than this
// many milliseconds have passed.
constexpr std::uint32_t submissionCheckDelay = 3000;

// Whether the page that followed a submission at `submitTime` may be checked
// at `now`. Both are readings of a 32-bit millisecond clock; the difference
// is taken in unsigned arithmetic, so a wrap of the clock between the two
// does no harm.
inline bool SubmissionCheckDue(std::uint32_t now, std::uint32_t submitTime)
{
    return std::uint32_t(now - submitTime) > submissionCheckDelay;
}

// Whether the saved page confirms the submission: the marker occurs in the
// page's text before its first zero byte, compared byte for byte. An empty
// marker is always found.
inline bool PageConfirmsSubmission(const std::string& html, const std::string& marker)
{
    const std::string::size_type end = html.find('\0');
    const std::string_view page(html.data(), end == std::string::npos ? html.size() : end);
    return page.find(marker) != std::string_view::npos;
}
