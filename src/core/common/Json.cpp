#include "core/common/Json.h"

#include <cstdint>

namespace {

// Decodes one UTF-8 sequence at `pos`; on success advances `pos` past it.
// Overlong forms, surrogates and values beyond U+10FFFF are refused.
bool DecodeUtf8(std::string_view text, std::size_t& pos, std::uint32_t& codePoint)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    std::size_t length;
    std::uint32_t min;
    if (lead < 0x80) {
        codePoint = lead;
        ++pos;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        min = 0x80;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        min = 0x800;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        min = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return false;
    }
    if (pos + length > text.size())
        return false;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80)
            return false;
        codePoint = (codePoint << 6) | (byte(pos + i) & 0x3F);
    }
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return false;
    pos += length;
    return true;
}

void AppendEscape(std::string& out, std::uint32_t unit)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += digits[(unit >> shift) & 0xF];
}

} // namespace

std::string JsonQuote(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        std::uint32_t codePoint;
        if (!DecodeUtf8(text, pos, codePoint)) {
            out += "\\ufffd";
            ++pos;
            continue;
        }
        switch (codePoint) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '<':
        case '>':
        case '&':
        case 0x2028:
        case 0x2029:
            AppendEscape(out, codePoint);
            break;
        default:
            if (codePoint < 0x20 || codePoint == 0x7F)
                AppendEscape(out, codePoint);
            else
                out.append(text, start, pos - start);
        }
    }
    out += '"';
    return out;
}
