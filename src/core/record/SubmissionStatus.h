#pragma once

#include "core/record/RecordEntry.h"

#include <string>
#include <string_view>
#include <vector>

// What the user is shown for a profile and a directory. The sent mark of
// sv.dat decides whether it was sent; the record says how far it got.
enum class ShownState
{
    NotSent,
    SentDateUnknown, // a sent mark the record knows nothing about
    AwaitingApproval,
    Published,
    Rejected,
};

// The shown state for a directory with or without a sent mark and its
// record entry (null for none). Without a sent mark it is NotSent whatever
// the record says; with one, the record's state, or SentDateUnknown when the
// record has no entry or one still at NotSent.
ShownState ShownStateOf(bool sentMark, const RecordEntry* entry);
// "not sent", "sent — date unknown", "sent — awaiting approval",
// "published", "rejected".
std::string_view ShownStateText(ShownState state);

// How many directories of a list stand where.
struct StateCounts
{
    int notSent = 0;
    int dateUnknown = 0;
    int awaitingApproval = 0;
    int published = 0;
    int rejected = 0;

    void Add(ShownState state);
    int Sent() const { return dateUnknown + awaitingApproval + published + rejected; }
    int Directories() const { return notSent + Sent(); }
};

// The summary line: "57 directories: 12 sent (3 awaiting approval,
// 8 published, 1 rejected), 45 not sent". Sent marks the record knows no
// date for are named last in the brackets, "2 date unknown", when there are
// any.
std::string SummaryLine(const StateCounts& counts);

// What is known when a page has loaded, to ask whether it is the published
// article of a submission.
struct PublishedPageQuestion
{
    std::string pageAddress;
    std::string pageText;
    std::string submissionPage; // the directory's submission page
    // The record's addresses of the submission: the page the form was sent
    // from and the confirmation page, which may well repeat the title.
    std::string formAddress;
    std::string confirmationAddress;
    std::string articleTitle; // the profile's
    bool sentMark = false;
    std::string publishedAddress; // the record's, "" while none
};

// Whether the page is the published article: on the same site as the
// directory's submission page, its text holds the article title, the
// directory is marked sent and the record has no published address yet.
// The submission page, the form's page and the confirmation page never are.
bool IsPublishedArticlePage(const PublishedPageQuestion& question);
