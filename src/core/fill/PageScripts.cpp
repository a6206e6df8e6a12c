#include "core/fill/PageScripts.h"

#include "core/common/Json.h"
#include "core/fill/PageScript.h"
#include "core/scripts/PageScriptParts.h"

#include <array>

static_assert(contract::types::edit == static_cast<std::int32_t>(ControlType::Edit));
static_assert(contract::types::comboBox == static_cast<std::int32_t>(ControlType::ComboBox));
static_assert(contract::types::checkBox == static_cast<std::int32_t>(ControlType::CheckBox));

namespace {

// A plan step as the fill script reads it: a JSON array laid out as
// contract::step says.
std::string StepRow(const FillStep& step)
{
    std::array<std::string, 4> row;
    row.at(contract::step::name) = JsonQuote(step.name);
    row.at(contract::step::index) = std::to_string(step.index);
    row.at(contract::step::type) = std::to_string(static_cast<std::int32_t>(step.type));
    row.at(contract::step::text) = JsonQuote(step.text);
    return '[' + row[0] + ',' + row[1] + ',' + row[2] + ',' + row[3] + ']';
}

} // namespace

std::string FillScript(const std::vector<FillStep>& plan)
{
    std::string data = "[";
    for (const FillStep& step : plan) {
        if (data.size() > 1)
            data += ',';
        data += StepRow(step);
    }
    data += ']';
    using namespace fillScripts;
    return PageScript({walk, elements, text, editing, controls, focus, fill}, data);
}

std::string SubmitHookScript()
{
    return PageScript({fillScripts::submitHook}, "");
}

std::string PageHtmlScript()
{
    return PageScript({fillScripts::walk, fillScripts::documents, fillScripts::pageReader}, "");
}

std::string PageTextScript()
{
    return PageScript({fillScripts::walk, fillScripts::documents, fillScripts::pageText}, "");
}
