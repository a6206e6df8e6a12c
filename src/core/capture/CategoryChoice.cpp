#include "core/capture/CategoryChoice.h"

#include "core/capture/WordTable.h"
#include "core/profiles/Categories.h"

#include <algorithm>
#include <map>

namespace {

// Words with their plural "s" cut, so that "Associations" meets
// "Association".
Words Singular(Words words)
{
    for (std::string& word : words) {
        if (word.size() > 3 && word.back() == 's')
            word.pop_back();
    }
    return words;
}

// The words that tell an option apart: those of its text (and of its value
// when that holds letters), without the tables' stop words.
Words OptionWords(const FieldOption& option)
{
    const WordTable& table = WordTable::Capture();
    Words all = SplitWords(option.text);
    if (std::any_of(option.value.begin(), option.value.end(),
            [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }) &&
        option.value != option.text)
        AddWords(option.value, all);
    Words kept;
    for (const std::string& word : all) {
        if (!table.Has("stop", {word}))
            kept.push_back(word);
    }
    return Singular(kept);
}

bool HasLetters(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x80 || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    });
}

// The phrases that name a category, or are related to it, in every
// language, each with its rank: its own name first.
std::vector<WordPhrase> CategoryPhrases(const std::string& category)
{
    std::vector<WordPhrase> phrases {{Singular(SplitWords(category)), 0}};
    for (const WordPhrase& phrase : WordTable::Capture().Phrases("category " + category))
        phrases.push_back({Singular(phrase.words), phrase.rank});
    return phrases;
}

// How well an option fits a category: the rank of the closest phrase of
// the category that stands in it, the words of its phrases that stand
// there (each phrase counted once), and its words no phrase met.
struct Fit
{
    bool fits = false;
    std::size_t rank = 0;
    std::size_t met = 0;
    std::size_t unmet = 0;

    bool BetterThan(const Fit& other) const
    {
        if (fits != other.fits)
            return fits;
        if (rank != other.rank)
            return rank < other.rank;
        if (met != other.met)
            return met > other.met;
        return unmet < other.unmet;
    }
};

Fit FitOf(const std::vector<WordPhrase>& phrases, const Words& option)
{
    Fit fit;
    std::vector<bool> used(option.size(), false);
    for (const WordPhrase& phrase : phrases) {
        const std::size_t at = FindPhrase(option, phrase.words);
        if (at == std::string::npos)
            continue;
        bool fresh = false;
        for (std::size_t i = at; i < at + phrase.words.size(); ++i) {
            fresh = fresh || !used[i];
            used[i] = true;
        }
        if (!fresh)
            continue;
        fit.met += phrase.words.size();
        fit.rank = fit.fits ? std::min(fit.rank, phrase.rank) : phrase.rank;
        fit.fits = true;
    }
    fit.unmet = std::size_t(std::count(used.begin(), used.end(), false));
    return fit;
}

bool IsOtherText(const Words& words)
{
    return WordTable::Capture().Has("other", words);
}

} // namespace

bool IsPromptOption(const FieldOption& option)
{
    if (option.value.empty() || !HasLetters(option.text))
        return true;
    return WordTable::Capture().Has("prompt", SplitWords(option.text));
}

bool AsksForCategory(const std::vector<FieldOption>& options)
{
    if (options.empty() || !IsPromptOption(options.front()))
        return false;
    const WordTable& table = WordTable::Capture();
    const Words words = SplitWords(options.front().text);
    return table.Has("categorylist", words) || table.Has("subcategorylist", words);
}

std::optional<CategoryChoice> ChooseCategories(
    const std::vector<FieldOption>& options, const std::string& name)
{
    std::vector<const FieldOption*> usable;
    std::vector<Words> words;
    for (const FieldOption& option : options) {
        if (IsPromptOption(option))
            continue;
        usable.push_back(&option);
        words.push_back(OptionWords(option));
    }
    if (usable.empty())
        return std::nullopt;

    std::vector<std::vector<WordPhrase>> phrases;
    for (const char* category : profileCategories)
        phrases.push_back(CategoryPhrases(category));
    // An option no category fits and that says "Other" takes the rest.
    const FieldOption* other = nullptr;
    for (std::size_t i = 0; i < usable.size() && !other; ++i) {
        const bool fitsNone = std::none_of(phrases.begin(), phrases.end(),
            [&](const std::vector<WordPhrase>& p) { return FitOf(p, words[i]).fits; });
        if (fitsNone && IsOtherText(SplitWords(usable[i]->text)))
            other = usable[i];
    }

    CategoryChoice choice;
    choice.variable.name = name;
    choice.complete = true;
    std::map<std::string, int> picks;
    for (std::size_t c = 0; c < profileCategories.size(); ++c) {
        const FieldOption* best = nullptr;
        Fit bestFit;
        for (std::size_t i = 0; i < usable.size(); ++i) {
            const Fit fit = FitOf(phrases[c], words[i]);
            if (fit.BetterThan(bestFit)) {
                best = usable[i];
                bestFit = fit;
            }
        }
        if (!best)
            best = other;
        if (!best) {
            choice.complete = false;
            continue;
        }
        ++picks[best->value];
        choice.variable.conds.push_back({profileCategories[c], std::nullopt, best->value});
    }
    if (other) {
        choice.variable.conds.push_back({std::nullopt, std::nullopt, other->value});
    } else if (choice.complete) {
        const auto most = std::max_element(picks.begin(), picks.end(),
            [](const auto& a, const auto& b) { return a.second < b.second; });
        choice.variable.conds.push_back({std::nullopt, std::nullopt, most->first});
    }
    return choice;
}

std::optional<CategoryChoice> ChooseSubcategories(
    const std::vector<FieldOption>& options, const std::string& name)
{
    CategoryChoice choice;
    choice.variable.name = name;
    const FieldOption* other = nullptr;
    for (const FieldOption& option : options) {
        if (IsPromptOption(option))
            continue;
        if (!other && IsOtherText(SplitWords(option.text)))
            other = &option;
        choice.variable.conds.push_back({std::nullopt, option.text, option.value});
    }
    if (choice.variable.conds.empty())
        return std::nullopt;
    if (other)
        choice.variable.conds.push_back({std::nullopt, std::nullopt, other->value});
    choice.complete = other != nullptr;
    return choice;
}
