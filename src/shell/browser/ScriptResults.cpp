#include "shell/browser/ScriptResults.h"

FillReport FillReportFromScript(const QVariant& result, int planSize)
{
    FillReport report;
    report.items = planSize;
    const QVariantMap map = result.toMap();
    report.written = map.value(QStringLiteral("written")).toInt();
    report.items = map.value(QStringLiteral("items"), planSize).toInt();
    for (const QVariant& name : map.value(QStringLiteral("missing")).toList())
        report.missing.push_back(name.toString().toStdString());
    const QVariant focused = map.value(QStringLiteral("focused"));
    if (focused.typeId() == QMetaType::QString)
        report.focused = focused.toString().toStdString();
    return report;
}

std::vector<FormField> FormFieldsFromScript(const QVariant& result)
{
    std::vector<FormField> fields;
    for (const QVariant& entry : result.toList()) {
        const QVariantMap map = entry.toMap();
        const std::optional<FieldKind> kind =
            ParseFieldKind(map.value(QStringLiteral("kind")).toString().toStdString());
        if (!kind)
            continue;
        FormField field;
        field.label = map.value(QStringLiteral("label")).toString().toStdString();
        field.name = map.value(QStringLiteral("name")).toString().toStdString();
        field.index = map.value(QStringLiteral("index")).toInt();
        field.kind = *kind;
        for (const QVariant& option : map.value(QStringLiteral("options")).toList()) {
            const QVariantList pair = option.toList();
            field.options.push_back(
                {pair.value(0).toString().toStdString(), pair.value(1).toString().toStdString()});
        }
        fields.push_back(std::move(field));
    }
    return fields;
}
