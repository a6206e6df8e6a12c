#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The kind of page control an item describes. The values are those the
// database's `type` attribute names: "edit", "combobox" and "checkbox".
enum class ControlType : std::int32_t
{
    Edit = 0,
    ComboBox = 1,
    CheckBox = 2
};

// Every control type, in the order of their values.
inline constexpr ControlType controlTypes[] = {
    ControlType::Edit, ControlType::ComboBox, ControlType::CheckBox};

// The word the database uses for a control type.
const char* ControlTypeName(ControlType type);

// The control type a database word names, matched exactly, case and blanks
// included; none for any other text.
std::optional<ControlType> ParseControlType(std::string_view text);

// One form field of a directory's submission page and the text for it.
struct DirectoryItem
{
    std::string name; // the page element's name or id
    ControlType type = ControlType::Edit;
    std::int32_t index = 0; // position among the page's elements of that name
    std::string value; // variables applied, placeholders not yet expanded

    bool operator==(const DirectoryItem& other) const
    {
        return name == other.name && type == other.type && index == other.index &&
            value == other.value;
    }
};
