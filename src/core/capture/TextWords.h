#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text cut into lower-case words, as the capture compares labels, names
// and options.
using Words = std::vector<std::string>;

// Splits `text` into lower-case words: at every character that is neither a
// letter nor a digit, and where a lower-case letter meets an upper-case one
// ("firstName"). Latin-1 capitals in UTF-8 ("É") are lowered too; the
// typographic apostrophe separates like the plain one.
Words SplitWords(std::string_view text);
void AddWords(std::string_view text, Words& words);

// Whether a word of a text meets a word of a phrase: equal, or the text's
// word begins with the phrase's when that is five letters or more
// ("email" meets "emailadresse", "finanz" meets "finanzdienstleistungen").
bool WordMeets(const std::string& word, const std::string& phraseWord);

// The position of the first run of `words` that meets `phrase` word by
// word; npos for none (and for an empty phrase).
std::size_t FindPhrase(const Words& words, const Words& phrase);
