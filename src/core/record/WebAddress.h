#pragma once

#include <optional>
#include <string>
#include <string_view>

// An http or https address taken apart, as far as the record's rules need:
// which site it is on and which page it names.
struct WebAddress
{
    std::string scheme; // "http" or "https", in lower case
    std::string host; // in lower case, without the brackets of an IPv6 address
    int port = 80; // the scheme's own port when the address names none
    std::string path; // from the first "/", with the query, without the fragment; "/" at least

    // Takes `text` apart; nothing for an address that is not http or https
    // or names no host. Blanks around it are ignored; the scheme and host
    // may be in any case.
    static std::optional<WebAddress> Parse(std::string_view text);

    // The site, for one-at-a-time rules: "host:port".
    std::string SiteKey() const;
    // The host without a leading "www.", for comparing sites.
    std::string BareHost() const;
    // The address compared as one: scheme and "www." ignored, the port only
    // when it is not the scheme's own, the path without a trailing slash.
    std::string Normalised() const;
};

// Whether both addresses are on the same site: hosts equal without regard
// to case or a leading "www.", and the same port.
bool SameSite(const WebAddress& a, const WebAddress& b);
// Whether `a` and `b` name the same page as Normalised() sees it; false when
// either is not an http or https address.
bool SameAddress(std::string_view a, std::string_view b);
