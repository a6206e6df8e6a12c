#include "core/record/SubmissionStatus.h"

#include "core/record/PageText.h"
#include "core/record/WebAddress.h"

ShownState ShownStateOf(bool sentMark, const RecordEntry* entry)
{
    if (!sentMark)
        return ShownState::NotSent;
    if (!entry)
        return ShownState::SentDateUnknown;
    switch (entry->state) {
    case SubmissionState::NotSent:
        return ShownState::SentDateUnknown;
    case SubmissionState::AwaitingApproval:
        return ShownState::AwaitingApproval;
    case SubmissionState::Published:
        return ShownState::Published;
    case SubmissionState::Rejected:
        return ShownState::Rejected;
    }
    return ShownState::SentDateUnknown;
}

std::string_view ShownStateText(ShownState state)
{
    switch (state) {
    case ShownState::NotSent:
        return "not sent";
    case ShownState::SentDateUnknown:
        return "sent \u2014 date unknown";
    case ShownState::AwaitingApproval:
        return "sent \u2014 awaiting approval";
    case ShownState::Published:
        return "published";
    case ShownState::Rejected:
        return "rejected";
    }
    return {};
}

void StateCounts::Add(ShownState state)
{
    switch (state) {
    case ShownState::NotSent:
        ++notSent;
        break;
    case ShownState::SentDateUnknown:
        ++dateUnknown;
        break;
    case ShownState::AwaitingApproval:
        ++awaitingApproval;
        break;
    case ShownState::Published:
        ++published;
        break;
    case ShownState::Rejected:
        ++rejected;
        break;
    }
}

std::string SummaryLine(const StateCounts& counts)
{
    const int directories = counts.Directories();
    std::string line = std::to_string(directories) +
        (directories == 1 ? " directory: " : " directories: ") + std::to_string(counts.Sent()) +
        " sent (" + std::to_string(counts.awaitingApproval) + " awaiting approval, " +
        std::to_string(counts.published) + " published, " + std::to_string(counts.rejected) +
        " rejected";
    if (counts.dateUnknown > 0)
        line += ", " + std::to_string(counts.dateUnknown) + " date unknown";
    return line + "), " + std::to_string(counts.notSent) + " not sent";
}

bool IsPublishedArticlePage(const PublishedPageQuestion& question)
{
    if (!question.sentMark || !question.publishedAddress.empty())
        return false;
    const auto page = WebAddress::Parse(question.pageAddress);
    const auto submission = WebAddress::Parse(question.submissionPage);
    if (!page || !submission || !SameSite(*page, *submission))
        return false;
    for (const std::string* own :
        {&question.submissionPage, &question.formAddress, &question.confirmationAddress}) {
        if (SameAddress(question.pageAddress, *own))
            return false;
    }
    return TextHoldsTitle(question.pageText, question.articleTitle);
}
