#include "core/fill/FillReport.h"

std::string FillReportText(const FillReport& report)
{
    std::string text = "Filled " + std::to_string(report.written) + " of " +
        std::to_string(report.items) + " fields";
    for (std::size_t i = 0; i < report.missing.size(); ++i)
        text += (i == 0 ? ", not found: " : ", ") + report.missing[i];
    return text;
}
