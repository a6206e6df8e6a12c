#pragma once

#include <string>
#include <string_view>

// Makes the bytes of a page well-formed UTF-8, which the HTML parser
// expects. UTF-8 stays as it is. A page that is not UTF-8 and whose
// `charset` (from its Content-Type, any case) names windows-1252 or
// ISO-8859-1 is converted from windows-1252; in any other page each byte
// that does not belong to a well-formed sequence becomes U+FFFD.
std::string SanitisedUtf8(std::string_view bytes, std::string_view charset = {});

// Whether `text` holds `title`: runs of blanks count as one blank, and
// letters A to Z match without regard to case. An empty title is never
// found.
bool TextHoldsTitle(std::string_view text, std::string_view title);
