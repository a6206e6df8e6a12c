#pragma once

#include "core/capture/FieldProposal.h"
#include "core/fill/FillReport.h"

#include <QVariant>

#include <vector>

// What the fill script answered, {written, items, missing, focused}, as the report of
// a fill of a plan of `planSize` steps. No answer (a script that could not
// run) reports nothing written.
FillReport FillReportFromScript(const QVariant& result, int planSize);

// What the form fields script answered, as fields. An entry of a kind the
// program does not know is passed by; no answer gives no fields.
std::vector<FormField> FormFieldsFromScript(const QVariant& result);
