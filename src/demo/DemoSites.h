#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One field that a demo directory reads from its submission form.
struct DemoField
{
    enum class Show
    {
        Text, // echoed on the confirmation page
        Secret, // only said to be there (passwords)
    };

    std::string param; // the form field's name
    std::size_t occurrence = 0; // which of several fields of that name, from 0
    std::string label; // how the confirmation page names it
    bool required = false;
    Show show = Show::Text;
    // Allowed values and what they stand for; empty allows any text.
    std::vector<std::pair<std::string, std::string>> choices;
    // For a question only a person answers: the answers taken, compared
    // without blanks around them and without regard to letter case; empty
    // takes any text.
    std::vector<std::string> answers = {};
};

// One article directory of the demo web site. Its pages live in the folder
// `folder` of the site, its form posts to "/<folder>/submit", and the
// confirmation page is the folder's reply.html with the reply in place of
// its "<!--reply-->" marker.
struct DemoSite
{
    std::string folder;
    std::string name;
    std::string acceptedHeading; // holds the directory's confirmation text
    std::string acceptedText;
    std::vector<DemoField> fields;
    // Whether the demo's databases list it; the one they do not is there for
    // the user to add.
    bool listed = true;
    // Whether its published copy of the sample article links to the
    // author's site with rel="nofollow" rather than a plain link.
    bool publishedNofollow = false;
};

// The article every demo directory has published (demo/README.md): a
// profile with this title and web address finds its pages and links there.
struct DemoArticle
{
    std::string title;
    std::string webAddress;
};
const DemoArticle& DemoSampleArticle();

// Where the site shows its copy of the sample article:
// "/<folder>/articles/ten-herbs-for-shade.html".
std::string PublishedArticlePath(const DemoSite& site);

// The demo directories, in the order the demo's database lists them.
const std::vector<DemoSite>& DemoSites();

// The fields of a submitted form, name and value, in the order received.
using FormFields = std::vector<std::pair<std::string, std::string>>;

struct SubmissionReply
{
    bool accepted = false;
    // A <section id="reply"> element: the confirmation with everything
    // received, or the reasons for refusing the submission.
    std::string html;
};

// Checks a submission against the site's required fields, choices and
// questions and writes the reply. Every received text is HTML-escaped.
SubmissionReply ReplyToSubmission(const DemoSite& site, const FormFields& fields);

// The confirmation page: `pageTemplate` with `reply` in place of its marker,
// or a bare page around `reply` when the template has no marker.
std::string ComposeReplyPage(
    const std::string& pageTemplate, const std::string& siteName, const std::string& reply);

// Escapes &, <, >, " and ' for HTML text and attribute values.
std::string HtmlEscape(std::string_view text);
