#pragma once

#include "core/record/RecordEntry.h"
#include "core/record/SubmissionStatus.h"

#include <string>
#include <string_view>
#include <vector>

using CsvRow = std::vector<std::string>;

// One cell as RFC 4180 writes it: in double quotes, with each quote
// doubled, when it holds a comma, a quote, a CR or a LF. A cell that begins
// with "=", "+", "-" or "@" gets a single quote in front, inside the cell,
// so that a spreadsheet shows it as text rather than run it as a formula.
std::string CsvCell(std::string_view text);
// The rows as a CSV file: UTF-8, cells joined by commas, every row ended
// by CR LF. The first row is the header.
std::string CsvText(const std::vector<CsvRow>& rows);

// The record's columns for an export, and one entry as a row of them, with
// the state shown for it. Times read "2026-12-08 14:41:43 UTC"; unknown
// ones are empty.
CsvRow RecordCsvHeader();
CsvRow RecordCsvRow(const RecordEntry& entry, ShownState shown);
std::string FormatRecordTime(RecordTime time);
