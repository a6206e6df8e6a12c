#include "core/capture/DirectoryDraft.h"

#include <algorithm>
#include <cctype>

namespace {

std::string CollapseBlanks(std::string_view text)
{
    std::string collapsed;
    bool blank = false;
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            blank = !collapsed.empty();
            continue;
        }
        if (blank)
            collapsed += ' ';
        blank = false;
        collapsed += c;
    }
    return collapsed;
}

// Directory names longer than this do not fit the program's queries.
constexpr std::size_t longestName = 223;

// `text` cut to `count` characters at most, never inside a UTF-8 sequence.
std::string FirstCharacters(const std::string& text, std::size_t count)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > count)
            return text.substr(0, i);
    }
    return text;
}

std::string HostOf(const std::string& url)
{
    const auto scheme = url.find("://");
    const std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
    const auto end = url.find_first_of(":/?#", start);
    return url.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string VariableNameFor(const FormField& field)
{
    std::string name = "%";
    for (const char c : field.name)
        name += char(std::toupper(static_cast<unsigned char>(c)));
    if (field.index > 0)
        name += std::to_string(field.index);
    return name + '%';
}

DraftRow RowOf(const FormField& field)
{
    DraftRow row;
    row.field = field;
    row.type = ControlTypeOf(field.kind);
    return row;
}

} // namespace

DirectoryDraft ProposeDirectory(
    std::string_view title, const std::string& url, const std::vector<FormField>& fields)
{
    DirectoryDraft draft;
    draft.name = DirectoryNameOf(title, url);
    draft.submitUrl = url;
    for (const FormField& field : fields) {
        DraftRow& row = draft.rows.emplace_back(RowOf(field));
        FieldProposal proposal = ProposeFieldValue(field, VariableNameFor(field));
        row.value = std::move(proposal.value);
        if (proposal.variable) {
            row.variable = proposal.variable->name;
            draft.variables.push_back(std::move(*proposal.variable));
        }
    }
    return draft;
}

std::string DirectoryNameOf(std::string_view title, const std::string& url)
{
    std::string name = CollapseBlanks(title);
    for (auto at = name.find(" ["); at != std::string::npos; at = name.find(" [", at)) {
        name.replace(at, 2, " - ");
        if (const auto close = name.find(']', at); close != std::string::npos)
            name.erase(close, 1);
    }
    name = CollapseBlanks(FirstCharacters(name, longestName));
    return name.empty() ? HostOf(url) : name;
}

DirectoryDraft DraftOfDirectory(const DirectoryRecord& saved, const std::vector<FormField>& fields)
{
    DirectoryDraft draft;
    draft.name = saved.name;
    draft.submitUrl = saved.submitUrl;
    draft.onSubmit = saved.onSubmit;
    draft.variables = saved.variables;

    std::vector<bool> shown(saved.items.size(), false);
    for (const FormField& field : fields) {
        DraftRow& row = draft.rows.emplace_back(RowOf(field));
        for (std::size_t i = 0; i < saved.items.size(); ++i) {
            const DirectoryItem& item = saved.items[i];
            if (!shown[i] && item.name == field.name && item.index == field.index) {
                shown[i] = true;
                row.type = item.type;
                row.value = item.value;
                break;
            }
        }
    }
    for (std::size_t i = 0; i < saved.items.size(); ++i) {
        if (shown[i])
            continue;
        const DirectoryItem& item = saved.items[i];
        DraftRow& row = draft.rows.emplace_back();
        row.field.name = item.name;
        row.field.index = item.index;
        row.onPage = false;
        row.type = item.type;
        row.value = item.value;
    }
    return draft;
}

DirectoryRecord RecordOfDraft(const DirectoryDraft& draft)
{
    DirectoryRecord record;
    record.name = draft.name;
    record.submitUrl = draft.submitUrl;
    record.onSubmit = draft.onSubmit;
    for (const DraftRow& row : draft.rows) {
        if (!row.value.empty())
            record.items.push_back({row.field.name, row.type, row.field.index, row.value});
    }
    for (const VariableRecord& variable : draft.variables) {
        const bool named =
            std::any_of(record.items.begin(), record.items.end(), [&](const DirectoryItem& item) {
                return item.value.find(variable.name) != std::string::npos;
            });
        if (named && !variable.name.empty())
            record.variables.push_back(variable);
    }
    return record;
}
