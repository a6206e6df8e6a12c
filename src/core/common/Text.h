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

// Whether `bytes` are well-formed UTF-8: no stray continuation bytes, no
// overlong forms, no surrogates, nothing beyond U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Converts windows-1252 text to UTF-8. The five bytes windows-1252 leaves
// undefined (81, 8D, 8F, 90, 9D) keep their ISO-8859-1 meaning, so every
// byte converts and the conversion never fails.
std::string Windows1252ToUtf8(std::string_view bytes);
