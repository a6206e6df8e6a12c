#include "core/capture/FieldProposal.h"

#include "core/profiles/Categories.h"
#include "core/scripts/ScriptContract.h"

#include <algorithm>
#include <initializer_list>

namespace {

using Words = std::vector<std::string>;

struct KindName
{
    FieldKind kind;
    std::string_view word;
};

// The words of the form fields script (scripts/formFields.js).
constexpr KindName kindNames[] = {{FieldKind::Text, contract::kinds::text},
    {FieldKind::TextArea, contract::kinds::textArea},
    {FieldKind::Password, contract::kinds::password}, {FieldKind::Email, contract::kinds::email},
    {FieldKind::Select, contract::kinds::select}, {FieldKind::CheckBox, contract::kinds::checkBox},
    {FieldKind::Radio, contract::kinds::radio}, {FieldKind::Editor, contract::kinds::editor}};

bool IsAsciiUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsAsciiLower(char c)
{
    return c >= 'a' && c <= 'z';
}

bool IsWordByte(unsigned char c)
{
    return c >= 0x80 || (c >= '0' && c <= '9') || IsAsciiLower(static_cast<char>(c)) ||
        IsAsciiUpper(static_cast<char>(c));
}

// Splits `text` into lower-case words: at every character that is neither a
// letter nor a digit, and where a lower-case letter meets an upper-case one
// ("firstName"). Latin-1 capitals in UTF-8 ("É") are lowered too; the
// typographic apostrophe separates like the plain one.
void AddWords(std::string_view text, Words& words)
{
    std::string word;
    bool afterLower = false;
    auto flush = [&] {
        if (!word.empty())
            words.push_back(word);
        word.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool lower = IsAsciiLower(static_cast<char>(c));
        if (text.substr(i, 3) == "\xE2\x80\x99") {
            flush();
            i += 2;
        } else if (!IsWordByte(c)) {
            flush();
        } else if (IsAsciiUpper(static_cast<char>(c))) {
            if (afterLower)
                flush();
            word += static_cast<char>(c - 'A' + 'a');
        } else if (c == 0xC3 && i + 1 < text.size()) {
            auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                next += 0x20;
            word += static_cast<char>(c);
            word += static_cast<char>(next);
            ++i;
        } else {
            word += static_cast<char>(c);
        }
        afterLower = lower;
    }
    flush();
}

Words FieldWords(const FormField& field)
{
    Words words;
    AddWords(field.label, words);
    AddWords(field.name, words);
    return words;
}

// Whether `words` holds one of `phrases`, each a run of words separated by
// blanks.
bool HasAny(const Words& words, std::initializer_list<std::string_view> phrases)
{
    for (std::string_view phrase : phrases) {
        Words wanted;
        AddWords(phrase, wanted);
        if (wanted.empty() || wanted.size() > words.size())
            continue;
        for (std::size_t start = 0; start + wanted.size() <= words.size(); ++start) {
            if (std::equal(wanted.begin(), wanted.end(), words.begin() + start))
                return true;
        }
    }
    return false;
}

bool IsEmail(const Words& w)
{
    return HasAny(
        w, {"email", "e mail", "mail", "emailadresse", "courriel", "adresse électronique"});
}

bool IsPassword(const Words& w)
{
    return HasAny(w,
        {"password", "passwort", "kennwort", "pwd", "pass", "passwd", "mot de passe",
            "motdepasse"});
}

// Sign-in names and the like, which no profile value answers.
bool IsAccountName(const Words& w)
{
    return HasAny(w,
        {"username", "user name", "login", "benutzername", "benutzer", "utilisateur", "pseudo",
            "identifiant", "captcha"});
}

bool IsFirstName(const Words& w)
{
    return HasAny(w,
        {"first name", "firstname", "fname", "given name", "forename", "vorname", "prénom",
            "prenom"});
}

bool IsLastName(const Words& w)
{
    return HasAny(w,
        {"last name", "lastname", "lname", "surname", "family name", "nachname", "familienname",
            "nom"});
}

bool IsAuthorInfo(const Words& w)
{
    return HasAny(w,
        {"bio", "biography", "biographie", "about", "author info", "authorinfo",
            "author information", "autoreninfo", "über mich", "à propos", "a propos",
            "resource box", "resourcebox", "signature"});
}

bool IsTitle(const Words& w)
{
    return HasAny(w,
        {"title", "subject", "headline", "titel", "betreff", "überschrift", "ueberschrift", "titre",
            "sujet", "objet"});
}

bool IsArticle(const Words& w)
{
    return HasAny(w,
        {"article", "body", "content", "description", "text", "artikel", "inhalt", "beschreibung",
            "texte", "contenu", "corps"});
}

bool IsWebAddress(const Words& w)
{
    return HasAny(w,
        {"url", "uri", "website", "web site", "homepage", "link", "site", "webseite",
            "internetseite", "site web", "lien"});
}

bool IsTerms(const Words& w)
{
    return HasAny(w,
        {"terms", "agree", "accept", "conditions", "tos", "rules", "agb", "bedingungen",
            "nutzungsbedingungen", "einverstanden", "akzeptiere", "accepte", "cgu", "consent"});
}

bool IsCategory(const Words& w)
{
    return HasAny(w,
        {"category", "categories", "cat", "catid", "kategorie", "kategorien", "catégorie",
            "categorie", "rubrik", "rubrique", "topic", "thema", "theme", "thème", "section"});
}

// The words that tell options and categories apart, plural endings cut.
Words MeaningfulWords(std::string_view text)
{
    Words words;
    AddWords(text, words);
    Words result;
    for (std::string& word : words) {
        if (word == "and" || word == "the" || word == "of" || word == "und" || word == "et")
            continue;
        if (word.size() > 3 && word.back() == 's')
            word.pop_back();
        result.push_back(word);
    }
    return result;
}

// Words match when equal, or when one begins with the other and that one is
// long enough to mean something on its own ("health", "healthcare";
// "market", "marketing").
bool WordsMatch(const std::string& a, const std::string& b)
{
    const std::string& shorter = a.size() < b.size() ? a : b;
    const std::string& longer = a.size() < b.size() ? b : a;
    return shorter.size() >= 5 ? longer.compare(0, shorter.size(), shorter) == 0 : a == b;
}

std::size_t SharedWords(const Words& a, const Words& b)
{
    std::size_t shared = 0;
    for (const std::string& word : a) {
        if (std::any_of(b.begin(), b.end(),
                [&](const std::string& other) { return WordsMatch(word, other); }))
            ++shared;
    }
    return shared;
}

std::optional<VariableRecord> CategoryVariable(
    const std::vector<FieldOption>& options, const std::string& variableName)
{
    std::vector<const FieldOption*> usable;
    std::vector<Words> optionWords;
    for (const FieldOption& option : options) {
        if (option.value.empty())
            continue;
        usable.push_back(&option);
        optionWords.push_back(MeaningfulWords(option.text + ' ' + option.value));
    }
    if (usable.empty())
        return std::nullopt;

    const FieldOption* fallback = usable.front();
    for (const FieldOption* option : usable) {
        Words words;
        AddWords(option->text, words);
        if (HasAny(words,
                {"other", "others", "misc", "miscellaneous", "general", "sonstige", "sonstiges",
                    "andere", "divers", "allgemein", "autre", "autres", "général", "generale"})) {
            fallback = option;
            break;
        }
    }

    VariableRecord variable;
    variable.name = variableName;
    for (const char* category : profileCategories) {
        const Words wanted = MeaningfulWords(category);
        const FieldOption* best = fallback;
        std::size_t bestShared = 0;
        for (std::size_t i = 0; i < usable.size(); ++i) {
            const std::size_t shared = SharedWords(wanted, optionWords[i]);
            if (shared > bestShared) {
                bestShared = shared;
                best = usable[i];
            }
        }
        variable.conds.push_back({category, std::nullopt, best->value});
    }
    variable.conds.push_back({std::nullopt, std::nullopt, fallback->value});
    return variable;
}

} // namespace

std::optional<FieldKind> ParseFieldKind(std::string_view word)
{
    for (const KindName& entry : kindNames) {
        if (entry.word == word)
            return entry.kind;
    }
    return std::nullopt;
}

ControlType ControlTypeOf(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Select:
    case FieldKind::Radio:
        return ControlType::ComboBox;
    case FieldKind::CheckBox:
        return ControlType::CheckBox;
    default:
        return ControlType::Edit;
    }
}

FieldProposal ProposeFieldValue(const FormField& field, const std::string& variableName)
{
    const Words words = FieldWords(field);
    switch (field.kind) {
    case FieldKind::Email:
        return {"#email#", std::nullopt};
    case FieldKind::Password:
        return {"#password#", std::nullopt};
    case FieldKind::CheckBox:
        return {IsTerms(words) ? "1" : "", std::nullopt};
    case FieldKind::Select:
    case FieldKind::Radio:
        if (IsCategory(words)) {
            if (auto variable = CategoryVariable(field.options, variableName))
                return {variableName, std::move(variable)};
        }
        return {};
    default:
        break;
    }
    const bool multiLine = field.kind == FieldKind::TextArea || field.kind == FieldKind::Editor;
    if (IsEmail(words))
        return {"#email#", std::nullopt};
    if (IsPassword(words))
        return {"#password#", std::nullopt};
    if (IsAccountName(words))
        return {};
    if (IsFirstName(words))
        return {"#fname#", std::nullopt};
    if (IsLastName(words))
        return {"#lname#", std::nullopt};
    if (IsAuthorInfo(words))
        return {"#keywords#", std::nullopt};
    if (IsTitle(words))
        return {"#title#", std::nullopt};
    if (multiLine && IsArticle(words))
        return {"#desc#", std::nullopt};
    if (IsWebAddress(words))
        return {"#url#", std::nullopt};
    return {};
}
