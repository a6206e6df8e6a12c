#include "core/record/PageInspection.h"

#include "core/record/PageText.h"
#include "core/record/WebAddress.h"

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

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Elements that add no depth: empty ones, and those a following sibling
// closes without an end tag.
bool AddsNoDepth(const std::string& name)
{
    static const char* const names[] = {"area", "base", "br", "col", "embed", "hr", "img", "input",
        "link", "meta", "param", "source", "track", "wbr", "p", "li", "dt", "dd", "tr", "td", "th",
        "option", "optgroup", "rb", "rt", "rp", "tbody", "thead", "tfoot", "colgroup", "caption"};
    for (const char* known : names) {
        if (name == known)
            return true;
    }
    return false;
}

// Where the end tag of `name` starts at or after `at`, in any case; the end
// of `html` when there is none.
std::size_t EndTagAt(std::string_view html, std::size_t at, const std::string& name)
{
    while ((at = html.find("</", at)) != std::string_view::npos) {
        const std::string_view candidate = html.substr(at + 2, name.size());
        if (candidate.size() == name.size() &&
            std::equal(candidate.begin(), candidate.end(), name.begin(),
                [](char a, char b) { return AsciiLower(a) == b; }))
            return at;
        at += 2;
    }
    return html.size();
}

// Elements that end SVG or MathML content where they start.
bool LeavesForeignContent(const std::string& name)
{
    static const char* const names[] = {"b", "big", "blockquote", "body", "br", "center", "code",
        "dd", "div", "dl", "dt", "em", "embed", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr",
        "i", "img", "li", "listing", "menu", "meta", "nobr", "ol", "p", "pre", "ruby", "s", "small",
        "span", "strong", "strike", "sub", "sup", "table", "tt", "u", "ul", "var", "font"};
    for (const char* known : names) {
        if (name == known)
            return true;
    }
    return false;
}

// The greatest depth the page's tags reach, as a quick look at start and
// end tags sees it, without the parser; never more than the parser builds
// for the tags counted.
std::size_t EstimatedNesting(std::string_view html)
{
    std::size_t depth = 0;
    std::size_t deepest = 0;
    std::size_t foreign = 0; // open svg and math elements
    std::size_t at = 0;
    const auto skipPast = [&](std::string_view end) {
        const std::size_t found = html.find(end, at);
        at = found == std::string_view::npos ? html.size() : found + end.size();
    };
    while ((at = html.find('<', at)) != std::string_view::npos) {
        if (html.substr(at, 4) == "<!--") {
            at += 4;
            skipPast("-->");
            continue;
        }
        const bool end = html.substr(at, 2) == "</";
        std::size_t nameAt = at + (end ? 2 : 1);
        if (nameAt >= html.size() || !IsLetter(html[nameAt])) {
            at = nameAt;
            continue;
        }
        std::string name;
        while (nameAt < html.size() &&
            std::string_view(" \t\r\n\f/>").find(html[nameAt]) == std::string_view::npos)
            name += AsciiLower(html[nameAt++]);
        at = nameAt;
        skipPast(">");
        // "/>" closes an element only in SVG and MathML; elsewhere the
        // element stays open.
        const bool selfClosing = at >= 2 && html[at - 2] == '/' && foreign > 0;
        if (LeavesForeignContent(name))
            foreign = 0;
        if (AddsNoDepth(name))
            continue;
        if (end) {
            depth -= depth > 0 ? 1 : 0;
            if (name == "svg" || name == "math")
                foreign -= foreign > 0 ? 1 : 0;
            continue;
        }
        if (selfClosing)
            continue;
        if (name == "svg" || name == "math")
            ++foreign;
        // Text elements hold no tags: their content ends at their end tag.
        // In SVG and MathML they are elements like any other.
        if (foreign == 0 &&
            (name == "script" || name == "style" || name == "textarea" || name == "title" ||
                name == "xmp")) {
            at = EndTagAt(html, at, name);
            continue;
        }
        deepest = std::max(deepest, ++depth);
    }
    return deepest;
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
    if (EstimatedNesting(html) > maxPageNesting) {
        inspection.read = false;
        return inspection;
    }
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
