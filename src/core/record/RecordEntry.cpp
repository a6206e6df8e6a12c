#include "core/record/RecordEntry.h"

#include <tuple>
#include <utility>

namespace {

const std::pair<SubmissionState, std::string_view> stateCodes[] = {
    {SubmissionState::NotSent, "not-sent"},
    {SubmissionState::AwaitingApproval, "awaiting-approval"},
    {SubmissionState::Published, "published"},
    {SubmissionState::Rejected, "rejected"},
};

struct LinkResultWords
{
    LinkResult result;
    std::string_view code;
    std::string_view text;
};

const LinkResultWords linkResultWords[] = {
    {LinkResult::Followed, "followed", "followed"},
    {LinkResult::Nofollow, "nofollow", "nofollow"},
    {LinkResult::Ugc, "ugc", "ugc"},
    {LinkResult::Sponsored, "sponsored", "sponsored"},
    {LinkResult::Missing, "missing", "link missing"},
    {LinkResult::PageGone, "gone", "page gone"},
    {LinkResult::Unreachable, "unreachable", "unreachable"},
};

} // namespace

bool RecordEntry::operator==(const RecordEntry& other) const
{
    const auto fields = [](const RecordEntry& entry) {
        return std::tie(entry.profile, entry.directory, entry.firstFilled, entry.lastFilled,
            entry.submitted, entry.formAddress, entry.confirmed, entry.confirmationAddress,
            entry.state, entry.publishedAddress, entry.lastLinkCheck, entry.note);
    };
    return fields(*this) == fields(other);
}

std::string_view StateCode(SubmissionState state)
{
    for (const auto& [known, code] : stateCodes) {
        if (known == state)
            return code;
    }
    return stateCodes[0].second;
}

std::optional<SubmissionState> StateFromCode(std::string_view code)
{
    for (const auto& [state, known] : stateCodes) {
        if (known == code)
            return state;
    }
    return std::nullopt;
}

std::string_view LinkResultCode(LinkResult result)
{
    for (const LinkResultWords& words : linkResultWords) {
        if (words.result == result)
            return words.code;
    }
    return {};
}

std::optional<LinkResult> LinkResultFromCode(std::string_view code)
{
    for (const LinkResultWords& words : linkResultWords) {
        if (words.code == code)
            return words.result;
    }
    return std::nullopt;
}

std::string_view LinkResultText(LinkResult result)
{
    for (const LinkResultWords& words : linkResultWords) {
        if (words.result == result)
            return words.text;
    }
    return {};
}
