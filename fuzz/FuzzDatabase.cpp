// The directory database: the input is a dirdata.xml, optionally followed
// by a zero byte and a category, and another zero byte and a subcategory.
// Every listed directory is asked every question the program asks, and
// its fill plan is built and turned into the page script, whose data must
// decode back to the plan. A file the author's check finds nothing in must
// answer every question about a listed directory without a message.

#include "core/common/MessageLog.h"
#include "core/directorydb/DatabaseCheck.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/directorydb/XmlLoader.h"
#include "core/fill/FillPlan.h"
#include "core/fill/PageScripts.h"
#include "core/profiles/Profile.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "database: %s\n", what);
        std::abort();
    }
}

// The file the database is loaded from, rewritten for every input.
class ScratchFile
{
public:
    ScratchFile()
    {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = std::string(folder) + "/quillmark-fuzz-XXXXXX";
        descriptor = mkstemp(path.data());
        Require(descriptor >= 0, "cannot create the scratch file");
    }
    ~ScratchFile()
    {
        close(descriptor);
        unlink(path.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Replace(std::string_view bytes)
    {
        Require(ftruncate(descriptor, 0) == 0, "cannot truncate the scratch file");
        Require(pwrite(descriptor, bytes.data(), bytes.size(), 0) == ssize_t(bytes.size()),
            "cannot write the scratch file");
        return path;
    }

private:
    std::string path;
    int descriptor = -1;
};

// Appends the UTF-8 form of a code point below 0x10000.
void AppendUtf8(std::string& out, unsigned c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = text[i];
        std::size_t length = 1;
        unsigned c = lead;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            c = lead & 0x07;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            c = lead & 0x0F;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
            c = lead & 0x1F;
        } else if (lead >= 0x80) {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = text[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        const unsigned least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// Reads the plan back out of the script's data: an array of
// [name, index, text] arrays. The encoding must be safe as script and
// inside an HTML script element: no raw control bytes, no '<', '>' or '&',
// no U+2028 or U+2029, and valid UTF-8 throughout.
class ScriptData
{
public:
    explicit ScriptData(std::string_view text)
        : text(text)
    {
    }

    std::vector<FillStep> Plan()
    {
        Require(IsValidUtf8(text), "the script data is not valid UTF-8");
        Require(text.find("\xE2\x80\xA8") == std::string_view::npos &&
                text.find("\xE2\x80\xA9") == std::string_view::npos,
            "the script data holds a raw line or paragraph separator");
        for (const char c : text)
            Require(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F && c != '<' && c != '>' &&
                    c != '&',
                "the script data holds a raw byte it must escape");

        std::vector<FillStep> plan;
        Expect('[');
        while (Peek() != ']') {
            if (!plan.empty())
                Expect(',');
            FillStep step;
            Expect('[');
            step.name = String();
            Expect(',');
            step.index = Integer();
            Expect(',');
            step.type = static_cast<ControlType>(Integer());
            Expect(',');
            step.text = String();
            Expect(']');
            plan.push_back(step);
        }
        Expect(']');
        Require(pos == text.size(), "the script data goes on after the plan");
        return plan;
    }

private:
    char Peek() const
    {
        Require(pos < text.size(), "the script data ends early");
        return text[pos];
    }

    void Expect(char c)
    {
        Require(Peek() == c, "the script data is not a plan");
        ++pos;
    }

    std::int32_t Integer()
    {
        bool negative = false;
        if (Peek() == '-') {
            negative = true;
            ++pos;
        }
        std::int64_t value = 0;
        Require(Peek() >= '0' && Peek() <= '9', "an index has no digits");
        while (Peek() >= '0' && Peek() <= '9') {
            value = value * 10 + (text[pos++] - '0');
            Require(value <= std::int64_t(1) << 31, "an index is out of range");
        }
        return static_cast<std::int32_t>(negative ? -value : value);
    }

    std::string String()
    {
        Expect('"');
        std::string out;
        while (Peek() != '"') {
            const char c = text[pos++];
            if (c != '\\') {
                out += c;
                continue;
            }
            const char escape = Peek();
            ++pos;
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                out += escape;
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                unsigned unit = 0;
                for (int k = 0; k < 4; ++k) {
                    const char h = Peek();
                    ++pos;
                    unit <<= 4;
                    if (h >= '0' && h <= '9')
                        unit |= unsigned(h - '0');
                    else if (h >= 'a' && h <= 'f')
                        unit |= unsigned(h - 'a' + 10);
                    else if (h >= 'A' && h <= 'F')
                        unit |= unsigned(h - 'A' + 10);
                    else
                        Require(false, "a \\u escape is not hexadecimal");
                }
                Require(unit < 0xD800 || unit > 0xDFFF, "a \\u escape is a lone surrogate");
                AppendUtf8(out, unit);
                break;
            }
            default:
                Require(false, "unknown escape in the script data");
            }
        }
        Expect('"');
        return out;
    }

    std::string_view text;
    std::size_t pos = 0;
};

void CheckScript(const std::vector<FillStep>& plan)
{
    static const std::string emptyScript = FillScript({});
    static const std::string emptyData = "([]);";
    Require(emptyScript.size() > emptyData.size() &&
            emptyScript.compare(
                emptyScript.size() - emptyData.size(), emptyData.size(), emptyData) == 0,
        "the script of an empty plan does not end in its data");
    const std::string_view function(emptyScript.data(), emptyScript.size() - emptyData.size());

    const std::string script = FillScript(plan);
    Require(script.compare(0, function.size(), function) == 0, "the script's code changed");
    Require(script.size() >= function.size() + 3 && script[function.size()] == '(' &&
            script.compare(script.size() - 2, 2, ");") == 0,
        "the script's data is not the call's argument");
    const std::string_view data(
        script.data() + function.size() + 1, script.size() - function.size() - 3);

    const std::vector<FillStep> decoded = ScriptData(data).Plan();
    Require(decoded.size() == plan.size(), "the script carries another number of steps");
    for (std::size_t i = 0; i < plan.size(); ++i) {
        Require(decoded[i].index == plan[i].index, "a step's index changed in the script");
        // Text that is not valid UTF-8 reaches the page with replacement
        // characters; valid text must arrive unchanged.
        if (IsValidUtf8(plan[i].name))
            Require(decoded[i].name == plan[i].name, "a step's name changed in the script");
        if (IsValidUtf8(plan[i].text))
            Require(decoded[i].text == plan[i].text, "a step's text changed in the script");
    }
}

// Splits off the trailing category and subcategory, each after a zero byte.
void SplitInput(
    std::string_view input, std::string_view& xml, std::string& category, std::string& subcategory)
{
    xml = input;
    std::size_t zero = xml.rfind('\0');
    if (zero == std::string_view::npos)
        return;
    category = std::string(xml.substr(zero + 1));
    xml = xml.substr(0, zero);
    zero = xml.rfind('\0');
    if (zero == std::string_view::npos)
        return;
    subcategory = std::move(category);
    category = std::string(xml.substr(zero + 1));
    xml = xml.substr(0, zero);
}

void AskAbout(const DirectoryDatabase& database, const std::string& name, const Profile& profile)
{
    database.GetDirectorySubmitPage(name, profile.category, profile.subcategory);
    database.GetDirectoryOnSubmit(name);
    VariableMap map;
    database.GetDirectoryVariables(name, profile.category, profile.subcategory, map);

    std::vector<DirectoryItem> items;
    database.GetDirectoryItems(name, profile.category, profile.subcategory, items);
    const std::vector<FillStep> plan = BuildFillPlan(database, name, profile);
    Require(plan.size() == items.size(), "the fill plan has another number of steps");
    for (std::size_t i = 0; i < plan.size(); ++i)
        Require(plan[i].name == items[i].name && plan[i].index == items[i].index,
            "a fill step names another element than its item");
    CheckScript(plan);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile scratch;

    std::string_view xml;
    Profile profile;
    SplitInput(std::string_view(reinterpret_cast<const char*>(data), size), xml, profile.category,
        profile.subcategory);
    profile.name = "Fuzz";
    profile.url = "http://example.test/#title#";
    profile.articleTitle = "Title <script>\"'\\ #email#";
    profile.articleContent = "Line one\r\nLine two \xE2\x80\xA8 \x01";
    profile.authorInfo = "About </script>";
    profile.email = "a@example.test";
    profile.firstName = "Ann";
    profile.lastName = "Lee";
    profile.password = "pa\"ss";

    MessageLog log;
    DirectoryDatabase database(log);
    Result outcome;
    const bool loaded = database.Load(scratch.Replace(xml), &outcome);
    // The file must read as its bytes do.
    pugi::xml_document document;
    const XmlLoadResult parsed = LoadXmlBuffer(xml.data(), xml.size(), document);
    Require(loaded == bool(parsed), "the file and its bytes load differently");
    Require(loaded == bool(outcome), "the load and its result disagree");
    Require(loaded || outcome.Reason() == parsed.Reason(), "the file fails for another reason");

    std::vector<std::string> names;
    database.GetDirectoryNames(names);
    Require(loaded || names.empty(), "a file that failed to load lists directories");

    for (const std::string& name : names)
        Require(name.find_first_of("\r\n") == std::string::npos, "a listed name holds a line end");

    // Only the limits on the size of variable results may stop a clean
    // file's answers, each with this message.
    const bool clean = loaded && CheckDatabase(document).empty();
    const std::string tooLarge = "Error while GetDirectorySubmitPage";

    // Repeated names give the same answers; each is asked once. The
    // category doubles as a name the file may not hold.
    const std::set<std::string> listed(names.begin(), names.end());
    std::set<std::string> asked = listed;
    asked.insert(profile.category);
    for (const std::string& name : asked) {
        log.messages.clear();
        AskAbout(database, name, profile);
        if (!clean || !listed.count(name))
            continue;
        for (const Message& message : log.messages) {
            if (message.text != tooLarge) {
                std::fprintf(stderr, "database: \"%s\" (%s) for \"%s\"\n", message.text.c_str(),
                    message.caption.c_str(), name.c_str());
                Require(false, "a file with nothing to fix gives a message");
            }
        }
    }
    return 0;
}
