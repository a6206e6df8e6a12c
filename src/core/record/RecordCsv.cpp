#include "core/record/RecordCsv.h"

#include <ctime>

namespace {

std::string OptionalTimeText(const std::optional<RecordTime>& time)
{
    return time ? FormatRecordTime(*time) : std::string();
}

} // namespace

std::string CsvCell(std::string_view text)
{
    std::string cell;
    if (!text.empty() &&
        (text.front() == '=' || text.front() == '+' || text.front() == '-' || text.front() == '@'))
        cell += '\'';
    cell += text;
    if (cell.find_first_of(",\"\r\n") == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (const char c : cell) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvText(const std::vector<CsvRow>& rows)
{
    std::string text;
    for (const CsvRow& row : rows) {
        for (std::size_t cell = 0; cell < row.size(); ++cell) {
            if (cell > 0)
                text += ',';
            text += CsvCell(row[cell]);
        }
        text += "\r\n";
    }
    return text;
}

CsvRow RecordCsvHeader()
{
    return {"Profile", "Directory", "State", "First filled", "Last filled", "Submitted",
        "Form address", "Confirmed", "Confirmation address", "Published address", "Last link check",
        "Link", "Link check detail", "Note"};
}

CsvRow RecordCsvRow(const RecordEntry& entry, ShownState shown)
{
    const std::optional<LinkCheck>& check = entry.lastLinkCheck;
    return {entry.profile, entry.directory, std::string(ShownStateText(shown)),
        OptionalTimeText(entry.firstFilled), OptionalTimeText(entry.lastFilled),
        OptionalTimeText(entry.submitted), entry.formAddress, OptionalTimeText(entry.confirmed),
        entry.confirmationAddress, entry.publishedAddress,
        check ? FormatRecordTime(check->time) : std::string(),
        check ? std::string(LinkResultText(check->result)) : std::string(),
        check ? check->detail : std::string(), entry.note};
}

std::string FormatRecordTime(RecordTime time)
{
    const std::time_t seconds = static_cast<std::time_t>(UnixSeconds(time));
    std::tm parts {};
    if (!gmtime_r(&seconds, &parts))
        return {};
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
    return std::string(text, length);
}
