#pragma once

#include "core/directorydb/DirectoryItem.h"
#include "core/directorydb/UserDatabase.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The kinds of form field a page shows, as the form fields script names
// them (contract::kinds): "text", "textarea", "password", "email",
// "select", "checkbox", "radio" (one field a group) and "editor" (an
// editable region or frame).
enum class FieldKind
{
    Text,
    TextArea,
    Password,
    Email,
    Select,
    CheckBox,
    Radio,
    Editor
};

// The kind a script's word names; none for any other text.
std::optional<FieldKind> ParseFieldKind(std::string_view word);

// The control type a database item for a field of this kind has.
ControlType ControlTypeOf(FieldKind kind);

// One choice of a select list or radio group: what the page sends, and
// what it shows.
struct FieldOption
{
    std::string value;
    std::string text;

    bool operator==(const FieldOption& other) const
    {
        return value == other.value && text == other.text;
    }
};

// One field of a page's form, as the form fields script reads it.
struct FormField
{
    std::string label; // the text the page shows for it, maybe empty
    std::string name; // its name, else its id
    std::int32_t index = 0; // among the page's elements of that name or id
    FieldKind kind = FieldKind::Text;
    std::vector<FieldOption> options; // select lists and radio groups
};

// What a new directory's item for a field should write: the value, and the
// variable it names when the value depends on the profile's category.
struct FieldProposal
{
    std::string value; // empty: the field is left alone
    std::optional<VariableRecord> variable;
};

// Proposes the value for `field` from the words of its label and name, in
// English, German and French: the profile's e-mail address, password, first
// and last name, title, article (text areas and editors only), author
// information, or web address; checked ("1") for a check box that accepts
// terms; for a category list or group, the variable `variableName`, which
// picks for each profile category the option sharing most words with it
// (an option such as "Other", else the first, when none shares any), and
// that option also for any other category. Anything else gets nothing.
FieldProposal ProposeFieldValue(const FormField& field, const std::string& variableName);
