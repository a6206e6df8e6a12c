#pragma once

#include "core/record/RecordEntry.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct LinkCheckOptions
{
    std::chrono::milliseconds connectTimeout {std::chrono::seconds(10)};
    // One page, however slowly it comes, is given up after this.
    std::chrono::milliseconds pageTimeout {std::chrono::seconds(30)};
    // A page that grows past this is given up as too large.
    std::size_t maxPageBytes = std::size_t(5) << 20;
    // Redirects followed for one page; more end it as a redirect loop.
    long maxRedirects = 10;
    // Pages fetched at once, and at once from one site (host and port of
    // the address asked for; a redirect to another site is not counted
    // there).
    std::size_t maxTransfers = 4;
    std::size_t maxPerSite = 1;
};

// One page to check; `key` is the caller's, handed back in the report.
struct LinkCheckTarget
{
    std::string key;
    std::string address;
};

// What the check of one page found.
struct LinkCheckReport
{
    std::string key;
    std::string address; // as asked
    std::string finalAddress; // after redirects; "" when none was reached
    long httpStatus = 0; // 0 when no answer came
    // Followed, Nofollow, Ugc or Sponsored for a page that links to the web
    // address; Missing for a page that does not; PageGone for 404 and 410;
    // Unreachable for a page that could not be fetched or read.
    LinkResult result = LinkResult::Unreachable;
    // Why the page was unreachable ("connection refused", "timed out",
    // "too large (over 5 MB)", "not HTML (image/png)", "redirect loop",
    // "HTTP 500", "nested too deeply to read", ...); "" otherwise.
    std::string reason;
    bool titleFound = false;

    // What the record keeps of it: the result, and as detail the reason or
    // a word when the title is not on the page.
    LinkCheck ToLinkCheck(RecordTime time) const;
};

// Fetches published articles' pages and reads each for the profile's link:
// at most maxTransfers at once, maxPerSite of them from one site, each
// following redirects and bounded in time and size. Runs on the calling
// thread, which may be a worker: nothing here touches a window.
class LinkChecker
{
public:
    using Finished = std::function<void(const LinkCheckReport&)>;

    explicit LinkChecker(LinkCheckOptions options = {});

    // Checks every target against `articleTitle` and `webAddress` and calls
    // `finished` on this thread as each page is done, in the order they
    // finish. Returns when all are done (true) or once `cancel`, looked at
    // every few milliseconds, is set (false: the pages not finished by then
    // get no report).
    bool Check(const std::vector<LinkCheckTarget>& targets, const std::string& articleTitle,
        const std::string& webAddress, const Finished& finished,
        const std::atomic<bool>* cancel = nullptr) const;

private:
    LinkCheckOptions options;
};
