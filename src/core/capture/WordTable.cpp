#include "core/capture/WordTable.h"

#include "core/words/WordTableTexts.h"

namespace {

std::string_view Trimmed(std::string_view line)
{
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

} // namespace

const WordTable& WordTable::Capture()
{
    static const WordTable table = [] {
        WordTable read;
        for (const WordTableText& text : wordTableTexts)
            read.Read(text.text);
        return read;
    }();
    return table;
}

void WordTable::Read(std::string_view text)
{
    std::vector<WordPhrase>* section = nullptr;
    std::size_t rank = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = &sections[std::string(Trimmed(line.substr(1, line.size() - 2)))];
            rank = 0;
            continue;
        }
        if (section) {
            Words phrase = SplitWords(line);
            if (!phrase.empty())
                section->push_back({std::move(phrase), rank++});
        }
    }
}

const std::vector<WordPhrase>& WordTable::Phrases(const std::string& section) const
{
    static const std::vector<WordPhrase> none;
    const auto found = sections.find(section);
    return found == sections.end() ? none : found->second;
}

std::size_t WordTable::LongestMatch(const std::string& section, const Words& words) const
{
    std::size_t longest = 0;
    for (const WordPhrase& phrase : Phrases(section)) {
        if (phrase.words.size() > longest && FindPhrase(words, phrase.words) != std::string::npos)
            longest = phrase.words.size();
    }
    return longest;
}
