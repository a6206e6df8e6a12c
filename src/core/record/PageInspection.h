#pragma once

#include "core/record/RecordEntry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// What a published article's page shows, read with an HTML5 parser.
struct PageInspection
{
    // False for a page whose elements nest deeper than maxPageNesting: the
    // parser's time grows with the square of the depth, so such a page is
    // not read at all and the rest says nothing.
    bool read = true;
    // The page's text (scripts and styles left out) holds the article title
    // (TextHoldsTitle).
    bool titleFound = false;
    // The best link from the page to the profile's web address: Followed
    // before Nofollow, Ugc and Sponsored; nothing when no <a href> points
    // there.
    std::optional<LinkResult> link;
};

// How deep a page's elements may nest to be read; browsers stop nesting
// at about this depth too.
constexpr std::size_t maxPageNesting = 512;

// Reads the page at `pageAddress` (for links relative to it) from `html`,
// which must be UTF-8 (SanitisedUtf8). A link counts when its address is the
// `webAddress` as SameAddress compares them. Its rel attribute decides what
// it is: "sponsored" before "ugc" before "nofollow", else followed.
PageInspection InspectPage(std::string_view html, const std::string& pageAddress,
    const std::string& articleTitle, const std::string& webAddress);

// The address `href` leads to from the page at `pageAddress`; "" when it
// leads to no http or https page.
std::string ResolveLink(std::string_view href, const std::string& pageAddress);
