#pragma once

#include "core/capture/TextWords.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

// The words by which the capture reads a form: for each section of the
// word tables (words/<language>.txt, embedded at build time), the phrases
// of every language, each cut into words.
//
// A table is text: "[section]" lines open a section, every other line that
// is neither blank nor begins with '#' is a phrase of the section, the
// closest in meaning first.
struct WordPhrase
{
    Words words;
    std::size_t rank = 0; // its place in its section of its table, from 0
};

class WordTable
{
public:
    // The tables of every language the program carries, read once.
    static const WordTable& Capture();

    // Adds the sections of one table's text.
    void Read(std::string_view text);

    // The phrases of a section; none for a section no table has.
    const std::vector<WordPhrase>& Phrases(const std::string& section) const;

    // The length, in words, of the longest phrase of `section` that stands
    // in `words`; 0 for none.
    std::size_t LongestMatch(const std::string& section, const Words& words) const;
    bool Has(const std::string& section, const Words& words) const
    {
        return LongestMatch(section, words) > 0;
    }

private:
    std::map<std::string, std::vector<WordPhrase>> sections;
};
