#pragma once

#include "fill/FillReport.h"

#include <QVariant>

// What the fill script answered, as the report of a fill of a plan of
// `planSize` steps. The script answers {written, items, missing}; a bare
// number is taken for the count written, with nothing known to be missing.
FillReport FillReportFromScript(const QVariant& result, int planSize);
