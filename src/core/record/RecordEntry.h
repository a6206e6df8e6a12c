#pragma once

#include "core/record/WallClock.h"

#include <optional>
#include <string>
#include <string_view>

// Where a submission stands, as the user keeps it up to date. A
// confirmation puts it at AwaitingApproval; the directory's editors decide
// the rest.
enum class SubmissionState
{
    NotSent,
    AwaitingApproval,
    Published,
    Rejected,
};

// What the last look at the published article found about its link to the
// profile's web address.
enum class LinkResult
{
    Followed, // a plain link
    Nofollow, // rel="nofollow"
    Ugc, // rel="ugc"
    Sponsored, // rel="sponsored"
    Missing, // the page is there, the link is not
    PageGone, // 404 or 410
    Unreachable, // the page could not be fetched or read; the detail says why
};

struct LinkCheck
{
    RecordTime time;
    LinkResult result = LinkResult::Missing;
    // For people: why the page was unreachable, what else was seen.
    std::string detail;

    bool operator==(const LinkCheck& other) const
    {
        return time == other.time && result == other.result && detail == other.detail;
    }
};

// What the record holds for one profile and one directory.
struct RecordEntry
{
    std::string profile;
    std::string directory;
    std::optional<RecordTime> firstFilled;
    std::optional<RecordTime> lastFilled;
    std::optional<RecordTime> submitted;
    std::string formAddress; // where the form was sent from
    std::optional<RecordTime> confirmed;
    std::string confirmationAddress; // the page that confirmed it
    SubmissionState state = SubmissionState::NotSent;
    std::string publishedAddress;
    std::optional<LinkCheck> lastLinkCheck;
    std::string note;

    bool operator==(const RecordEntry& other) const;
    bool operator!=(const RecordEntry& other) const { return !(*this == other); }
};

// The words the record's file keeps for a state and a link result. They
// never change once a file holds them; a word read back that is not known
// gives nothing.
std::string_view StateCode(SubmissionState state);
std::optional<SubmissionState> StateFromCode(std::string_view code);
std::string_view LinkResultCode(LinkResult result);
std::optional<LinkResult> LinkResultFromCode(std::string_view code);

// For people: "followed", "nofollow", "ugc", "sponsored", "link missing",
// "page gone", "unreachable".
std::string_view LinkResultText(LinkResult result);
