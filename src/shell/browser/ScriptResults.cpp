#include "shell/browser/ScriptResults.h"

#include "core/scripts/ScriptContract.h"

namespace {

// A key of a script's answer, as the contract names it.
QString Key(std::string_view key)
{
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace

FillReport FillReportFromScript(const QVariant& result, int planSize)
{
    namespace keys = contract::fillResult;
    FillReport report;
    report.items = planSize;
    const QVariantMap map = result.toMap();
    report.written = map.value(Key(keys::written)).toInt();
    report.items = map.value(Key(keys::items), planSize).toInt();
    for (const QVariant& name : map.value(Key(keys::missing)).toList())
        report.missing.push_back(name.toString().toStdString());
    const QVariant focused = map.value(Key(keys::focused));
    if (focused.typeId() == QMetaType::QString)
        report.focused = focused.toString().toStdString();
    return report;
}

std::vector<FormField> FormFieldsFromScript(const QVariant& result)
{
    namespace keys = contract::field;
    std::vector<FormField> fields;
    for (const QVariant& entry : result.toList()) {
        const QVariantMap map = entry.toMap();
        const std::optional<FieldKind> kind =
            ParseFieldKind(map.value(Key(keys::kind)).toString().toStdString());
        if (!kind)
            continue;
        FormField field;
        field.label = map.value(Key(keys::label)).toString().toStdString();
        field.name = map.value(Key(keys::name)).toString().toStdString();
        field.index = map.value(Key(keys::index)).toInt();
        field.kind = *kind;
        field.hidden = map.value(Key(keys::hidden)).toString().toStdString();
        for (const QVariant& option : map.value(Key(keys::options)).toList()) {
            const QVariantList pair = option.toList();
            field.options.push_back(
                {pair.value(0).toString().toStdString(), pair.value(1).toString().toStdString()});
        }
        fields.push_back(std::move(field));
    }
    return fields;
}
