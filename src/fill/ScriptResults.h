#pragma once

#include "fill/FillReport.h"

#include <QVariant>

// What the fill script answered, {written, items, missing}, as the report of
// a fill of a plan of `planSize` steps. No answer (a script that could not
// run) reports nothing written.
FillReport FillReportFromScript(const QVariant& result, int planSize);
