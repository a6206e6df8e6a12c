#include "core/directorydb/DirectoryItem.h"

const char* ControlTypeName(ControlType type)
{
    switch (type) {
    case ControlType::Edit:
        return "edit";
    case ControlType::ComboBox:
        return "combobox";
    case ControlType::CheckBox:
        return "checkbox";
    }
    return "";
}

std::optional<ControlType> ParseControlType(std::string_view text)
{
    for (const ControlType type : controlTypes) {
        if (text == ControlTypeName(type))
            return type;
    }
    return std::nullopt;
}
