#include "core/capture/TextWords.h"

namespace {

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

// Marks that stand between words but are no letters: the typographic
// apostrophe, the no-break space, the ellipsis and the dashes.
constexpr std::string_view separators[] = {"\xE2\x80\x99", "\xC2\xA0", "\xE2\x80\xA6",
    "\xE2\x80\x93", "\xE2\x80\x94", "\xC2\xAB", "\xC2\xBB", "\xC2\xBF", "\xC2\xA1"};

std::size_t SeparatorAt(std::string_view text, std::size_t i)
{
    for (std::string_view separator : separators) {
        if (text.substr(i, separator.size()) == separator)
            return separator.size();
    }
    return 0;
}

} // namespace

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
        if (const std::size_t separator = SeparatorAt(text, i)) {
            flush();
            i += separator - 1;
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

Words SplitWords(std::string_view text)
{
    Words words;
    AddWords(text, words);
    return words;
}

bool WordMeets(const std::string& word, const std::string& phraseWord)
{
    if (phraseWord.size() >= 5)
        return word.compare(0, phraseWord.size(), phraseWord) == 0;
    return word == phraseWord;
}

std::size_t FindPhrase(const Words& words, const Words& phrase)
{
    if (phrase.empty() || phrase.size() > words.size())
        return std::string::npos;
    for (std::size_t start = 0; start + phrase.size() <= words.size(); ++start) {
        bool met = true;
        for (std::size_t i = 0; met && i < phrase.size(); ++i)
            met = WordMeets(words[start + i], phrase[i]);
        if (met)
            return start;
    }
    return std::string::npos;
}
