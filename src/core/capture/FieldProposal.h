#pragma once

#include "core/capture/TextWords.h"
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
    // Why a person cannot see the field ("display:none", "off-screen", ...);
    // empty for a field in sight.
    std::string hidden;
};

// What a new directory's item for a field should write: the value, and the
// variable it names when the value depends on the profile's category. A
// category list the user has to choose for gets its variable all the same,
// with an empty value.
struct FieldProposal
{
    std::string value; // empty: the field is left alone
    std::optional<VariableRecord> variable;
};

// Proposes the value for `field` from the words of its label, else of its
// name (framework and habit words left out), in the languages of the word
// tables (words/*.txt): the profile's e-mail address, password, first and
// last name, author's name, summary, tags, title, article (text areas and
// editors only), author information, or web address, whichever meaning's
// phrase is longest; checked ("1") for a check box that accepts terms,
// rules or privacy or declares the work one's own, never one that
// subscribes or remembers; for a category list (by its label, name or
// first option) the variable `variableName` (ChooseCategories), for a
// subcategory list one keyed on the subcategory (ChooseSubcategories).
// A field a person cannot see, and anything else, gets nothing.
FieldProposal ProposeFieldValue(const FormField& field, const std::string& variableName);

// The words of a field's name that carry its meaning: "ctl00", "data",
// "txt" and the like left out (the word tables' "ignore" section) unless
// nothing else is left.
Words NameWords(const std::string& name);
