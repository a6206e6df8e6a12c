// The state file, both ways.
//
// Read, write, read: whatever a file holds, the profiles and the first line
// read from it come back exactly when they are written and read again. The
// program relies on this each time it saves what it loaded.
//
// Write, read: any profiles the program holds, with line ends and marker
// bytes anywhere, come back as the file format keeps them: a line end in a
// single-line value becomes a blank, and in the two multi-line fields every
// CR LF, bare LF and 0x01 byte becomes CR LF. No value may spill into the
// lines of another.

#include "profiles/ProfileStore.h"
#include "profiles/StateFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <sstream>
#include <string>

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "state file: %s\n", what);
        std::abort();
    }
}

std::string Read(const std::string& bytes, ProfileStore& store)
{
    std::istringstream in(bytes, std::ios::binary);
    return ReadState(in, store);
}

std::string SingleLine(std::string text)
{
    for (char& c : text) {
        if (c == '\n')
            c = ' ';
    }
    return text;
}

std::string MultiLine(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (text[i] == '\n' || text[i] == '\x01') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

// The profile as writing and reading it back gives it.
Profile Kept(const Profile& profile)
{
    Profile kept;
    kept.name = SingleLine(profile.name);
    kept.url = SingleLine(profile.url);
    kept.articleTitle = SingleLine(profile.articleTitle);
    kept.articleContent = MultiLine(profile.articleContent);
    kept.category = SingleLine(profile.category);
    kept.subcategory = SingleLine(profile.subcategory);
    kept.authorInfo = MultiLine(profile.authorInfo);
    kept.email = SingleLine(profile.email);
    kept.firstName = SingleLine(profile.firstName);
    kept.lastName = SingleLine(profile.lastName);
    kept.password = SingleLine(profile.password);
    for (const std::string& directory : profile.sentDirectories)
        kept.sentDirectories.insert(SingleLine(directory));
    return kept;
}

void ReadWriteRead(const std::string& bytes)
{
    ProfileStore first;
    const std::string firstLine = Read(bytes, first);
    const std::string written = StateFileBytes(first, &firstLine);

    ProfileStore second;
    const std::string secondLine = Read(written, second);
    Require(secondLine == firstLine, "the first line changed on the way back");
    Require(second.Profiles() == first.Profiles(), "the profiles changed on the way back");
}

void WriteRead(FuzzedDataProvider& input)
{
    const bool hasSelection = input.ConsumeBool();
    const std::string selected = input.ConsumeRandomLengthString(64);
    ProfileStore store;
    for (int count = input.ConsumeIntegralInRange(0, 4); count > 0; --count) {
        Profile profile;
        for (std::string* field :
            {&profile.name, &profile.url, &profile.articleTitle, &profile.articleContent,
                &profile.category, &profile.subcategory, &profile.authorInfo, &profile.email,
                &profile.firstName, &profile.lastName, &profile.password})
            *field = input.ConsumeRandomLengthString(64);
        for (int sent = input.ConsumeIntegralInRange(0, 4); sent > 0; --sent)
            profile.sentDirectories.insert(input.ConsumeRandomLengthString(32));
        store.AddProfile(profile);
    }

    ProfileStore loaded;
    const std::string firstLine =
        Read(StateFileBytes(store, hasSelection ? &selected : nullptr), loaded);
    Require(firstLine == (hasSelection ? SingleLine(selected) : std::string()),
        "the selected name did not come back");
    Require(loaded.Profiles().size() == store.Profiles().size(), "the profile count changed");
    for (std::size_t i = 0; i < store.Profiles().size(); ++i)
        Require(loaded.Profiles()[i] == Kept(store.Profiles()[i]), "a profile did not come back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadWriteRead(std::string(reinterpret_cast<const char*>(data), size));
    FuzzedDataProvider input(data, size);
    WriteRead(input);
    return 0;
}
