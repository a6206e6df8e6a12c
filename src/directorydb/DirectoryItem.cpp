#include "directorydb/DirectoryItem.h"

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
