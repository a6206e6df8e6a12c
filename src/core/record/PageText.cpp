#include "core/record/PageText.h"

#include "core/common/Text.h"

#include <algorithm>
#include <cctype>

namespace {

// The length of the well-formed UTF-8 sequence at the start of `bytes`;
// 0 when it does not start with one.
std::size_t SequenceLength(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = lead < 0x80 ? 1
        : lead >= 0xC2 && lead <= 0xDF     ? 2
        : lead >= 0xE0 && lead <= 0xEF     ? 3
        : lead >= 0xF0 && lead <= 0xF4     ? 4
                                           : 0;
    if (length == 0 || length > bytes.size())
        return 0;
    return IsValidUtf8(bytes.substr(0, length)) ? length : 0;
}

// Blanks collapsed and trimmed, ASCII letters in lower case.
std::string Folded(std::string_view text)
{
    std::string folded;
    folded.reserve(text.size());
    bool blank = true;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\f') {
            blank = true;
            continue;
        }
        if (blank && !folded.empty())
            folded += ' ';
        blank = false;
        folded += byte < 0x80 ? static_cast<char>(std::tolower(byte)) : c;
    }
    return folded;
}

bool NamesWindows1252(std::string_view charset)
{
    std::string lower(charset);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* name : {"windows-1252", "cp1252", "iso-8859-1", "latin1", "us-ascii"}) {
        if (lower == name)
            return true;
    }
    return false;
}

} // namespace

std::string SanitisedUtf8(std::string_view bytes, std::string_view charset)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    if (NamesWindows1252(charset))
        return Windows1252ToUtf8(bytes);
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = SequenceLength(bytes);
        if (length == 0) {
            text += "\xEF\xBF\xBD";
            bytes.remove_prefix(1);
        } else {
            text.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return text;
}

bool TextHoldsTitle(std::string_view text, std::string_view title)
{
    const std::string wanted = Folded(title);
    return !wanted.empty() && Folded(text).find(wanted) != std::string::npos;
}
