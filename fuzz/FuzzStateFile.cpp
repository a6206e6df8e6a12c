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
// lines of another. Values that are not UTF-8 make the file one that is read
// as windows-1252.
//
// The last line end: a file whose last line ends at the end of the file
// reads as it does with its line end; the program's own files read whole
// with their last CR LF cut off, and as the same profiles. These judge the
// reader by the file's lines, not by the reader itself.

#include "core/common/Text.h"
#include "core/profiles/ProfileStore.h"
#include "core/profiles/StateFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <sstream>
#include <string>
#include <string_view>

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "state file: %s\n", what);
        std::abort();
    }
}

StateReadResult Read(const std::string& bytes, ProfileStore& store)
{
    std::istringstream in(bytes, std::ios::binary);
    return ReadState(in, store);
}

bool EndsWith(const std::string& text, const char* tail)
{
    const std::string_view end(tail);
    return text.size() >= end.size() &&
        text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The program's own file reads whole, and still does with its last CR LF
// cut off, as the same profiles.
void CheckWritten(
    const std::string& written, const StateReadResult& read, const ProfileStore& store)
{
    Require(read.Whole(), "a file the program wrote did not read whole");
    Require(!read.converted, "a file the program wrote was not UTF-8");
    Require(EndsWith(written, "\r\n"), "a file the program wrote lacks its last line end");
    // A last line that is empty (an empty directory name, last of all) is
    // gone with its line end: nothing then tells it from a truncated file.
    if (EndsWith(written, "\r\n\r\n"))
        return;

    ProfileStore cut;
    const StateReadResult cutRead = Read(written.substr(0, written.size() - 2), cut);
    Require(cutRead.Whole(), "the file without its last line end did not read whole");
    Require(cutRead.selectedName == read.selectedName,
        "the file without its last line end gave another first line");
    Require(cut.Profiles() == store.Profiles(),
        "the file without its last line end gave other profiles");
}

// A last line that ends at the end of the file is read as it is with a line
// end after it.
void LastLineEnd(const std::string& bytes)
{
    // Another line end would add an empty line; an empty file has no last
    // line at all.
    if (bytes.empty() || EndsWith(bytes, "\n"))
        return;
    ProfileStore asIs;
    const StateReadResult read = Read(bytes, asIs);
    ProfileStore ended;
    const StateReadResult endedRead = Read(bytes + "\r\n", ended);
    Require(
        read.selectedName == endedRead.selectedName, "the last line end changed the first line");
    Require(asIs.Profiles() == ended.Profiles(), "the last line end changed the profiles");
    Require(read.status == endedRead.status, "the last line end changed how whole the file is");
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

// The profile as writing and reading it back gives it; `text` is what the
// file's encoding does to every value.
template<typename Text>
Profile Kept(const Profile& profile, const Text& text)
{
    Profile kept;
    for (const ProfileField& field : profileFields) {
        const std::string& value = profile.*field.member;
        kept.*field.member = text(field.multiLine ? MultiLine(value) : SingleLine(value));
    }
    for (const std::string& directory : profile.sentDirectories)
        kept.sentDirectories.insert(text(SingleLine(directory)));
    return kept;
}

void ReadWriteRead(const std::string& bytes)
{
    ProfileStore first;
    const std::string firstLine = Read(bytes, first).selectedName;
    const std::string written = StateFileBytes(first, &firstLine);

    ProfileStore second;
    const StateReadResult read = Read(written, second);
    Require(read.selectedName == firstLine, "the first line changed on the way back");
    Require(second.Profiles() == first.Profiles(), "the profiles changed on the way back");
    CheckWritten(written, read, second);
}

void WriteRead(FuzzedDataProvider& input)
{
    const bool hasSelection = input.ConsumeBool();
    const std::string selected = input.ConsumeRandomLengthString(64);
    ProfileStore store;
    for (int count = input.ConsumeIntegralInRange(0, 4); count > 0; --count) {
        Profile profile;
        for (const ProfileField& field : profileFields)
            profile.*field.member = input.ConsumeRandomLengthString(64);
        for (int sent = input.ConsumeIntegralInRange(0, 4); sent > 0; --sent)
            profile.sentDirectories.insert(input.ConsumeRandomLengthString(32));
        store.AddProfile(profile);
    }

    const std::string written = StateFileBytes(store, hasSelection ? &selected : nullptr);
    ProfileStore loaded;
    const StateReadResult read = Read(written, loaded);
    // Bytes that are not UTF-8 anywhere make the whole file windows-1252.
    const bool eightBit = !IsValidUtf8(written);
    const auto kept = [eightBit](const std::string& text) {
        return eightBit ? Windows1252ToUtf8(text) : text;
    };
    Require(read.converted == eightBit, "the file was converted, or not, against its bytes");
    Require(read.selectedName == kept(hasSelection ? SingleLine(selected) : std::string()),
        "the selected name did not come back");
    Require(loaded.Profiles().size() == store.Profiles().size(), "the profile count changed");
    for (std::size_t i = 0; i < store.Profiles().size(); ++i)
        Require(
            loaded.Profiles()[i] == Kept(store.Profiles()[i], kept), "a profile did not come back");
    if (!eightBit)
        CheckWritten(written, read, loaded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ReadWriteRead(bytes);
    LastLineEnd(bytes);
    FuzzedDataProvider input(data, size);
    WriteRead(input);
    return 0;
}
