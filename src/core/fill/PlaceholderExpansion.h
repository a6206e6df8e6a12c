#pragma once

#include <string>
#include <vector>

struct Profile;

// Turns an item value into the text for one form field: each profile
// placeholder ("#url#", "#title#", ...) is replaced by its field, the tokens
// taken in a fixed order. Text inserted for one token is searched by the
// tokens after it, never by those before it.
std::string ExpandPlaceholders(const std::string& pattern, const Profile& profile);

// Every placeholder ExpandPlaceholders knows, in its order.
std::vector<std::string> PlaceholderTokens();
