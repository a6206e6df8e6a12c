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
    draft.name = CollapseBlanks(title);
    draft.submitUrl = url;
    for (const FormField& field : fields) {
        DraftRow& row = draft.rows.emplace_back(RowOf(field));
        FieldProposal proposal = ProposeFieldValue(field, VariableNameFor(field));
        row.value = std::move(proposal.value);
        if (proposal.variable)
            draft.variables.push_back(std::move(*proposal.variable));
    }
    return draft;
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
