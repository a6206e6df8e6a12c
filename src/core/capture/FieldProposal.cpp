#include "core/capture/FieldProposal.h"

#include "core/capture/CategoryChoice.h"
#include "core/capture/WordTable.h"
#include "core/scripts/ScriptContract.h"

namespace {

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

// The meanings of a text field, each a section of the word tables, in the
// order that settles a tie, and the value each proposes.
struct Meaning
{
    const char* section;
    const char* value;
    bool multiLineOnly;
};

constexpr Meaning meanings[] = {
    {"account", "", false},
    {"email", "#email#", false},
    {"password", "#password#", false},
    {"authorinfo", "#keywords#", false},
    {"firstname", "#fname#", false},
    {"lastname", "#lname#", false},
    {"summary", "#summary#", false},
    {"tags", "#tags#", false},
    {"title", "#title#", false},
    {"url", "#url#", false},
    {"byline", "#author#", false},
    {"name", "#author#", false},
    {"article", "#desc#", true},
};

// The meaning whose phrase in `words` is longest; none when no phrase
// stands there.
const Meaning* MeaningOf(const Words& words, bool multiLine)
{
    const WordTable& table = WordTable::Capture();
    const Meaning* best = nullptr;
    std::size_t longest = 0;
    for (const Meaning& meaning : meanings) {
        if (meaning.multiLineOnly && !multiLine)
            continue;
        const std::size_t length = table.LongestMatch(meaning.section, words);
        if (length > longest) {
            longest = length;
            best = &meaning;
        }
    }
    return best;
}

bool ShouldTick(const Words& words)
{
    const WordTable& table = WordTable::Capture();
    return table.Has("tick", words) && !table.Has("leave", words);
}

FieldProposal ProposeChoice(
    const FormField& field, const Words& label, const Words& name, const std::string& variableName)
{
    const WordTable& table = WordTable::Capture();
    auto says = [&](const char* section) {
        return table.Has(section, label) || table.Has(section, name);
    };
    std::optional<CategoryChoice> choice;
    if (says("subcategorylist"))
        choice = ChooseSubcategories(field.options, variableName);
    else if (says("categorylist") || AsksForCategory(field.options))
        choice = ChooseCategories(field.options, variableName);
    if (!choice)
        return {};
    return {choice->complete ? variableName : std::string(), std::move(choice->variable)};
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

Words NameWords(const std::string& name)
{
    const WordTable& table = WordTable::Capture();
    const Words all = SplitWords(name);
    Words kept;
    for (const std::string& word : all) {
        // "ctl00", "ContentPlaceHolder1": numbered framework words.
        std::string bare = word;
        while (!bare.empty() && bare.back() >= '0' && bare.back() <= '9')
            bare.pop_back();
        if (bare.empty() || table.Has("ignore", {bare}))
            continue;
        kept.push_back(word);
    }
    // "content place holder": framework words split at their capitals.
    for (const WordPhrase& phrase : table.Phrases("ignore")) {
        if (phrase.words.size() < 2)
            continue;
        for (std::size_t at = FindPhrase(kept, phrase.words); at != std::string::npos;
             at = FindPhrase(kept, phrase.words))
            kept.erase(kept.begin() + long(at), kept.begin() + long(at + phrase.words.size()));
    }
    return kept.empty() ? all : kept;
}

FieldProposal ProposeFieldValue(const FormField& field, const std::string& variableName)
{
    if (!field.hidden.empty())
        return {};
    const Words label = SplitWords(field.label);
    const Words name = NameWords(field.name);
    switch (field.kind) {
    case FieldKind::Email:
        return {"#email#", std::nullopt};
    case FieldKind::Password:
        return {"#password#", std::nullopt};
    case FieldKind::CheckBox:
        return {ShouldTick(label) || (label.empty() && ShouldTick(name)) ? "1" : "", std::nullopt};
    case FieldKind::Select:
    case FieldKind::Radio:
        return ProposeChoice(field, label, name, variableName);
    default:
        break;
    }
    const bool multiLine = field.kind == FieldKind::TextArea || field.kind == FieldKind::Editor;
    const Meaning* meaning = MeaningOf(label, multiLine);
    if (!meaning)
        meaning = MeaningOf(name, multiLine);
    return {meaning ? meaning->value : "", std::nullopt};
}
