#include "core/fill/PageScript.h"

#include "core/scripts/ScriptContract.h"

std::string PageScript(std::initializer_list<std::string_view> parts, std::string_view arguments)
{
    std::string script = "(function (contract) {\n'use strict';\n";
    for (const std::string_view part : parts) {
        script += part;
        script += '\n';
    }
    script += "})(";
    script += contract::json;
    script += ")(";
    script += arguments;
    script += ");";
    return script;
}
