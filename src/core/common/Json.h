#pragma once

#include <string>
#include <string_view>

// Quotes UTF-8 text as a JSON string literal, quotes included. Bytes that
// are not valid UTF-8 become U+FFFD. Besides what JSON requires, '<', '>',
// '&', U+2028 and U+2029 are escaped, so the literal is equally safe as
// JavaScript source and inside an HTML script element.
std::string JsonQuote(std::string_view text);
