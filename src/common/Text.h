#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads a decimal integer the way C's atoi does: leading white space, an
// optional sign, then digits up to the first other character; no digits
// give 0. Unlike atoi, a value beyond the 32-bit range saturates instead of
// being undefined.
std::int32_t ParseLeadingInt(std::string_view text);

// Replaces every occurrence of `token` in `text` by `replacement`, scanning
// left to right. After a replacement the scan resumes behind the inserted
// text, so occurrences never overlap and inserted text is not searched for
// the same token again. An empty token changes nothing.
void ReplaceAll(std::string& text, std::string_view token, std::string_view replacement);
