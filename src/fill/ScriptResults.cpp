#include "fill/ScriptResults.h"

FillReport FillReportFromScript(const QVariant& result, int planSize)
{
    FillReport report;
    report.items = planSize;
    const QVariantMap map = result.toMap();
    report.written = map.value(QStringLiteral("written")).toInt();
    report.items = map.value(QStringLiteral("items"), planSize).toInt();
    for (const QVariant& name : map.value(QStringLiteral("missing")).toList())
        report.missing.push_back(name.toString().toStdString());
    return report;
}
