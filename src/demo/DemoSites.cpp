#include "demo/DemoSites.h"

namespace {

const char kReplyMarker[] = "<!--reply-->";

// The value of the `occurrence`-th field named `param`, or nullptr.
const std::string* FindField(
    const FormFields& fields, const std::string& param, std::size_t occurrence)
{
    for (const auto& [name, value] : fields) {
        if (name != param)
            continue;
        if (occurrence == 0)
            return &value;
        --occurrence;
    }
    return nullptr;
}

bool IsBlank(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::string Simplified(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    std::string simplified = first == std::string::npos ? "" : text.substr(first, last - first + 1);
    for (char& c : simplified) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return simplified;
}

bool IsAnswer(const DemoField& field, const std::string& value)
{
    for (const std::string& answer : field.answers) {
        if (Simplified(value) == Simplified(answer))
            return true;
    }
    return field.answers.empty();
}

const std::string* ChoiceLabel(const DemoField& field, const std::string& value)
{
    for (const auto& [choice, label] : field.choices) {
        if (choice == value)
            return &label;
    }
    return nullptr;
}

std::vector<DemoSite> MakeDemoSites()
{
    using Show = DemoField::Show;
    std::vector<DemoSite> sites;

    sites.push_back(
        {"openlibrary", "Open Article Library", "Thank you, your article has been received.",
            "An editor reads every article before it goes online, usually within two working "
            "days. We will write to you when yours is published.",
            {
                {"title", 0, "Title", true, Show::Text, {}},
                {"body", 0, "Article", true, Show::Text, {}},
                {"bio", 0, "Resource box", false, Show::Text, {}},
                {"website", 0, "Web site", false, Show::Text, {}},
                {"email", 0, "E-mail", true, Show::Text, {}},
                {"byline", 0, "Byline", false, Show::Text, {}},
                {"topic", 0, "Topic", true, Show::Text,
                    {{"5", "General"}, {"12", "Business"}, {"31", "Marketing and Advertising"},
                        {"47", "Small Business"}}},
                {"terms", 0, "Terms of use", true, Show::Text, {{"accepted", "Accepted"}}},
            }});

    sites.push_back({"harbor", "Harbor Article Directory", "Article added.",
        "Your article is now waiting for review. Sign in with your e-mail address and "
        "password to follow it.",
        {
            {"author", 0, "First name", true, Show::Text, {}},
            {"author", 1, "Last name", true, Show::Text, {}},
            {"email", 0, "E-mail", true, Show::Text, {}},
            {"password", 0, "Password", true, Show::Secret, {}},
            {"authorbox", 0, "Author box", false, Show::Text, {}},
            {"url", 0, "Link", false, Show::Text, {}},
            {"category", 0, "Category", true, Show::Text,
                {{"general", "General"}, {"business", "Business"},
                    {"marketing", "Marketing and Advertising"},
                    {"small-business", "Small Business"}, {"health", "Health and Fitness"},
                    {"home", "Home and Family"}, {"technology", "Computers and Technology"}}},
            {"title", 0, "Title", true, Show::Text, {}},
            {"article", 0, "Article", true, Show::Text, {}},
            {"agree", 0, "Publishing terms", true, Show::Text, {{"on", "Accepted"}}},
            {"human", 0, "Question", true, Show::Text, {}, {"7", "seven"}},
        }});

    sites.push_back({"bizwrite", "Bizwrite Library", "Thank you!",
        "Your article was added to the moderation queue. Our editors decide within a week.",
        {
            {"section", 0, "Section", true, Show::Text,
                {{"100", "General Business"}, {"104", "Marketing and Advertising"},
                    {"117", "Small Business"}}},
            {"headline", 0, "Headline", true, Show::Text, {}},
            {"content", 0, "Article text", true, Show::Text, {}},
            {"firstname", 0, "First name", false, Show::Text, {}},
            {"lastname", 0, "Last name", false, Show::Text, {}},
            {"email", 0, "E-mail", true, Show::Text, {}},
            {"signature", 0, "Signature", false, Show::Text, {}},
            {"link", 0, "Link", false, Show::Text, {}},
            {"topic", 0, "Topic", true, Show::Text,
                {{"t-1", "General"}, {"t-2", "Marketing"}, {"t-3", "Small business"}}},
            {"rules", 0, "House rules", true, Show::Text, {{"1", "Accepted"}}},
        }});

    sites.push_back({"inkwell", "Inkwell Articles", "Inkwell has received your article.",
        "Our team takes a short look and publishes it, usually the same day.",
        {
            {"ink-title", 0, "Title", true, Show::Text, {}},
            {"ink-name", 0, "Pen name", false, Show::Text, {}},
            {"ink-email", 0, "E-mail", true, Show::Text, {}},
            {"ink-site", 0, "Web site", false, Show::Text, {}},
            {"ink-body", 0, "Article", true, Show::Text, {}},
            {"ink-about", 0, "About you", false, Show::Text, {}},
            {"ink-category", 0, "Category", true, Show::Text,
                {{"other", "Everything else"}, {"marketing", "Marketing"},
                    {"smallbiz", "Small business"}}},
            {"ink-terms", 0, "Terms", true, Show::Text, {{"yes", "Accepted"}}},
        }});

    sites.push_back({"lantern", "Lantern Article Index", "Your article is in the Lantern queue.",
        "We read every submission and answer within a week.",
        {
            {"subject", 0, "Subject", true, Show::Text, {}},
            {"text", 0, "Text", true, Show::Text, {}},
            {"name", 0, "Name", false, Show::Text, {}},
            {"mail", 0, "Mail", true, Show::Text, {}},
            {"homepage", 0, "Homepage", false, Show::Text, {}},
            {"about", 0, "About the author", false, Show::Text, {}},
            {"topic", 0, "Topic", true, Show::Text,
                {{"misc", "Miscellaneous"}, {"mkt", "Marketing and Advertising"},
                    {"sb", "Small Business"}}},
            {"consent", 0, "Consent", true, Show::Text, {{"given", "Given"}}},
        }});

    // In no database: the user adds it with the program's own dialog.
    sites.push_back({"meadowlark", "Meadowlark Articles", "Meadowlark has your article.",
        "Thank you for writing for us. It goes online once an editor has read it.",
        {
            {"a_title", 0, "Article title", true, Show::Text, {}},
            {"a_cat", 0, "Category", true, Show::Text,
                {{"c1", "Business & Marketing"}, {"c2", "Health"}, {"c3", "Home & Garden"},
                    {"c4", "Technology"}, {"c9", "Other"}}},
            {"a_text", 0, "Article", true, Show::Text, {}},
            {"given_name", 0, "First name", true, Show::Text, {}},
            {"family_name", 0, "Last name", true, Show::Text, {}},
            {"a_mail", 0, "E-mail address", true, Show::Text, {}},
            {"a_bio", 0, "About the author", true, Show::Text, {}},
            {"a_site", 0, "Website", true, Show::Text, {}},
            {"tos", 0, "Terms of publication", true, Show::Text, {{"agreed", "Accepted"}}},
        },
        false});

    // Half the directories publish the author's link as nofollow.
    for (DemoSite& site : sites)
        site.publishedNofollow =
            site.folder == "harbor" || site.folder == "inkwell" || site.folder == "meadowlark";
    return sites;
}

} // namespace

const std::vector<DemoSite>& DemoSites()
{
    static const std::vector<DemoSite> sites = MakeDemoSites();
    return sites;
}

SubmissionReply ReplyToSubmission(const DemoSite& site, const FormFields& fields)
{
    std::vector<std::string> problems;
    std::string received;
    for (const DemoField& field : site.fields) {
        const std::string* value = FindField(fields, field.param, field.occurrence);
        const bool blank = value == nullptr || IsBlank(*value);
        if (blank && field.required) {
            problems.push_back(HtmlEscape(field.label) + " is missing.");
            continue;
        }

        std::string shown;
        if (blank) {
            shown = "<em>(empty)</em>";
        } else if (field.show == DemoField::Show::Secret) {
            shown = "<em>(received, not shown)</em>";
        } else if (!IsAnswer(field, *value)) {
            problems.push_back(
                HtmlEscape(field.label) + ": &ldquo;" + HtmlEscape(*value) + "&rdquo; is wrong.");
            continue;
        } else if (field.choices.empty()) {
            shown = HtmlEscape(*value);
        } else if (const std::string* label = ChoiceLabel(field, *value)) {
            shown = HtmlEscape(*label);
        } else {
            problems.push_back(HtmlEscape(field.label) + " &ldquo;" + HtmlEscape(*value) +
                "&rdquo; does not exist here.");
            continue;
        }
        received += "<dt>" + HtmlEscape(field.label) + "</dt><dd>" + shown + "</dd>\n";
    }

    SubmissionReply reply;
    reply.accepted = problems.empty();
    if (reply.accepted) {
        reply.html = "<section id=\"reply\" class=\"accepted\" data-accepted=\"yes\">\n<h1>" +
            HtmlEscape(site.acceptedHeading) + "</h1>\n<p>" + HtmlEscape(site.acceptedText) +
            "</p>\n<p>This is what we received:</p>\n<dl class=\"received\">\n" + received +
            "</dl>\n</section>\n";
    } else {
        reply.html = "<section id=\"reply\" class=\"refused\" data-accepted=\"no\">\n"
                     "<h1>Your article could not be accepted</h1>\n<ul>\n";
        for (const std::string& problem : problems)
            reply.html += "<li>" + problem + "</li>\n";
        reply.html += "</ul>\n<p>Please complete the form and send it again.</p>\n</section>\n";
    }
    return reply;
}

std::string ComposeReplyPage(
    const std::string& pageTemplate, const std::string& siteName, const std::string& reply)
{
    const std::size_t marker = pageTemplate.find(kReplyMarker);
    if (marker == std::string::npos) {
        return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
            HtmlEscape(siteName) + "</title>\n</head>\n<body>\n" + reply + "</body>\n</html>\n";
    }
    std::string page = pageTemplate;
    page.replace(marker, sizeof kReplyMarker - 1, reply);
    return page;
}

std::string HtmlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

const DemoArticle& DemoSampleArticle()
{
    static const DemoArticle article {"Ten Herbs for Shade", "http://garden.example/"};
    return article;
}

std::string PublishedArticlePath(const DemoSite& site)
{
    return "/" + site.folder + "/articles/ten-herbs-for-shade.html";
}
