#include "record/PageInspection.h"

#include "record/PageText.h"
#include "record/WebAddress.h"

#include <algorithm>
#include <cctype>
#include <gumbo.h>
#include <memory>
#include <sstream>
#include <vector>

namespace {

// Elements whose content is no text of the page.
bool IsHidden(GumboTag tag)
{
    return tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_NOSCRIPT ||
        tag == GUMBO_TAG_TEMPLATE;
}

// Elements that run on within a line of text: no blank around them.
bool IsInline(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_A:
    case GUMBO_TAG_ABBR:
    case GUMBO_TAG_B:
    case GUMBO_TAG_CITE:
    case GUMBO_TAG_CODE:
    case GUMBO_TAG_EM:
    case GUMBO_TAG_FONT:
    case GUMBO_TAG_I:
    case GUMBO_TAG_MARK:
    case GUMBO_TAG_Q:
    case GUMBO_TAG_S:
    case GUMBO_TAG_SMALL:
    case GUMBO_TAG_SPAN:
    case GUMBO_TAG_STRONG:
    case GUMBO_TAG_SUB:
    case GUMBO_TAG_SUP:
    case GUMBO_TAG_U:
        return true;
    default:
        return false;
    }
}

LinkResult KindOfRel(std::string_view rel)
{
    std::string lower(rel);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::istringstream tokens(lower);
    bool sponsored = false;
    bool ugc = false;
    bool nofollow = false;
    for (std::string token; tokens >> token;) {
        sponsored = sponsored || token == "sponsored";
        ugc = ugc || token == "ugc";
        nofollow = nofollow || token == "nofollow";
    }
    return sponsored ? LinkResult::Sponsored
        : ugc        ? LinkResult::Ugc
        : nofollow   ? LinkResult::Nofollow
                     : LinkResult::Followed;
}

// Lower is better.
int Rank(LinkResult link)
{
    switch (link) {
    case LinkResult::Followed:
        return 0;
    case LinkResult::Nofollow:
        return 1;
    case LinkResult::Ugc:
        return 2;
    case LinkResult::Sponsored:
        return 3;
    default:
        return 4;
    }
}

struct OutputDeleter
{
    void operator()(GumboOutput* output) const
    {
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
};

} // namespace

std::string ResolveLink(std::string_view href, const std::string& pageAddress)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!href.empty() && blank(href.front()))
        href.remove_prefix(1);
    while (!href.empty() && blank(href.back()))
        href.remove_suffix(1);
    if (WebAddress::Parse(href))
        return std::string(href);
    const auto page = WebAddress::Parse(pageAddress);
    // Another scheme (mailto:, javascript:) leads to no page.
    const std::size_t colon = href.find(':');
    if (!page || (colon != std::string_view::npos && href.find_first_of("/?#") > colon))
        return {};
    const std::string origin = page->scheme + "://" +
        (page->host.find(':') != std::string::npos ? "[" + page->host + "]" : page->host) + ":" +
        std::to_string(page->port);
    if (href.rfind("//", 0) == 0)
        return page->scheme + ":" + std::string(href);
    if (href.rfind("/", 0) == 0)
        return origin + std::string(href);
    std::string base = page->path.substr(0, page->path.find('?'));
    base = base.substr(0, base.rfind('/') + 1);
    if (href.empty() || href.front() == '#')
        return origin + page->path;
    if (href.front() == '?')
        return origin + page->path.substr(0, page->path.find('?')) + std::string(href);
    return origin + base + std::string(href);
}

PageInspection InspectPage(std::string_view html, const std::string& pageAddress,
    const std::string& articleTitle, const std::string& webAddress)
{
    PageInspection inspection;
    const std::unique_ptr<GumboOutput, OutputDeleter> output(
        gumbo_parse_with_options(&kGumboDefaultOptions, html.data(), html.size()));
    if (!output)
        return inspection;

    std::string text;
    // A walk with a stack of its own: a page may nest deeper than the call
    // stack would allow.
    std::vector<const GumboNode*> pending {output->root};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (!node) {
            text += ' ';
            continue;
        }
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
            node->type == GUMBO_NODE_CDATA) {
            text += node->v.text.text;
            continue;
        }
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE &&
            node->type != GUMBO_NODE_DOCUMENT)
            continue;
        const GumboVector* children = node->type == GUMBO_NODE_DOCUMENT ? &node->v.document.children
                                                                        : &node->v.element.children;
        if (node->type != GUMBO_NODE_DOCUMENT) {
            const GumboElement& element = node->v.element;
            if (IsHidden(element.tag))
                continue;
            if (!IsInline(element.tag))
                text += ' ';
            if (element.tag == GUMBO_TAG_A) {
                const GumboAttribute* href = gumbo_get_attribute(&element.attributes, "href");
                if (href && SameAddress(ResolveLink(href->value, pageAddress), webAddress)) {
                    const GumboAttribute* rel = gumbo_get_attribute(&element.attributes, "rel");
                    const LinkResult kind = KindOfRel(rel ? rel->value : "");
                    if (!inspection.link || Rank(kind) < Rank(*inspection.link))
                        inspection.link = kind;
                }
            }
        }
        // Children last to first, so they come off the stack in order; a
        // null marks the element's end with a blank.
        if (node->type == GUMBO_NODE_ELEMENT && !IsInline(node->v.element.tag))
            pending.push_back(nullptr);
        for (unsigned child = children->length; child > 0; --child)
            pending.push_back(static_cast<const GumboNode*>(children->data[child - 1]));
    }
    inspection.titleFound = TextHoldsTitle(text, articleTitle);
    return inspection;
}
