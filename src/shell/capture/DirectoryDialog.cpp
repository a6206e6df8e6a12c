#include "shell/capture/DirectoryDialog.h"

#include "core/fill/PlaceholderExpansion.h"
#include "core/profiles/Categories.h"
#include "shell/common/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

enum Column
{
    LabelColumn,
    NameColumn,
    IndexColumn,
    KindColumn,
    ValueColumn,
    MeaningColumn,
    ColumnCount
};

QString FromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

QString OptionsText(const std::vector<FieldOption>& options)
{
    QStringList texts;
    for (const FieldOption& option : options)
        texts << (option.text.empty() ? FromStd(option.value) : FromStd(option.text));
    return texts.join(QStringLiteral(", "));
}

// How the dialog names a row's kind; lists and groups name their choices.
QString KindText(const DraftRow& row)
{
    if (!row.onPage) {
        return DirectoryDialog::tr("not on this page (%1)")
            .arg(QString::fromLatin1(ControlTypeName(row.type)));
    }
    switch (row.field.kind) {
    case FieldKind::Text:
        return DirectoryDialog::tr("text");
    case FieldKind::TextArea:
        return DirectoryDialog::tr("text area");
    case FieldKind::Password:
        return DirectoryDialog::tr("password");
    case FieldKind::Email:
        return DirectoryDialog::tr("e-mail");
    case FieldKind::Select:
        return DirectoryDialog::tr("select: %1").arg(OptionsText(row.field.options));
    case FieldKind::CheckBox:
        return DirectoryDialog::tr("check box");
    case FieldKind::Radio:
        return DirectoryDialog::tr("radio group: %1").arg(OptionsText(row.field.options));
    case FieldKind::Editor:
        return DirectoryDialog::tr("rich-text editor");
    }
    return {};
}

// What the value chooser of a row offers: nothing, the placeholders, the
// variables, and the values a list, group or check box can take.
QStringList ValueChoices(const DraftRow& row, const std::vector<VariableRecord>& variables)
{
    QStringList choices {QString()};
    for (const std::string& token : PlaceholderTokens())
        choices << FromStd(token);
    for (const VariableRecord& variable : variables)
        choices << FromStd(variable.name);
    for (const FieldOption& option : row.field.options)
        choices << FromStd(option.value);
    if (row.type == ControlType::CheckBox || row.field.kind == FieldKind::CheckBox)
        choices << QStringLiteral("1");
    choices.removeDuplicates();
    return choices;
}

// What a category variable picks, option by option: "Health: Health and
// Fitness, Medicine; Other: any other category".
QString VariableText(const VariableRecord& variable, const std::vector<FieldOption>& options)
{
    QStringList picks;
    QMap<QString, QStringList> categoriesOf;
    for (const CondRecord& cond : variable.conds) {
        QString option = FromStd(cond.value);
        for (const FieldOption& candidate : options) {
            if (candidate.value == cond.value && !candidate.text.empty())
                option = FromStd(candidate.text);
        }
        if (!categoriesOf.contains(option))
            picks << option;
        categoriesOf[option] << (cond.category ? FromStd(*cond.category)
                : cond.subcategory
                ? DirectoryDialog::tr("subcategory %1").arg(FromStd(*cond.subcategory))
                : DirectoryDialog::tr("any other category"));
    }
    QStringList lines;
    for (const QString& option : picks)
        lines << option + QLatin1String(": ") + categoriesOf[option].join(QStringLiteral(", "));
    // Categories no option fits, where the list has nothing for the rest.
    const bool catchAll = std::any_of(variable.conds.begin(), variable.conds.end(),
        [](const CondRecord& cond) { return !cond.category && !cond.subcategory; });
    QStringList open;
    for (const char* category : profileCategories) {
        if (!catchAll && !categoriesOf.isEmpty() &&
            std::none_of(variable.conds.begin(), variable.conds.end(),
                [&](const CondRecord& cond) { return cond.category == category; }))
            open << QString::fromLatin1(category);
    }
    if (!open.isEmpty() && !variable.conds.empty() && variable.conds.front().category) {
        lines << DirectoryDialog::tr("nothing fits, choose an option yourself: %1")
                     .arg(open.join(QStringLiteral(", ")));
    }
    return DirectoryDialog::tr("%1 picks by the profile's category:\n%2")
        .arg(FromStd(variable.name), lines.join(QLatin1Char('\n')));
}

// What a value writes, in words: each placeholder with its meaning
// ("#keywords# — author info"), the variable, the option or the tick.
QString MeaningText(
    const std::string& value, const DraftRow& row, const std::vector<VariableRecord>& variables)
{
    if (value.empty())
        return DirectoryDialog::tr("left alone");
    for (const VariableRecord& variable : variables) {
        if (value == variable.name)
            return DirectoryDialog::tr("%1 — chosen by the profile's category").arg(FromStd(value));
    }
    for (const FieldOption& option : row.field.options) {
        if (value == option.value)
            return DirectoryDialog::tr("the choice \"%1\"").arg(FromStd(option.text));
    }
    if (value == "1" &&
        (row.type == ControlType::CheckBox || row.field.kind == FieldKind::CheckBox))
        return DirectoryDialog::tr("ticked");
    QStringList meanings;
    for (const std::string& token : PlaceholderTokens()) {
        if (value.find(token) != std::string::npos)
            meanings << FromStd(token) + QStringLiteral(" — ") + FromStd(PlaceholderMeaning(token));
    }
    return meanings.isEmpty() ? DirectoryDialog::tr("this text as it stands")
                              : meanings.join(QStringLiteral(", "));
}

QTableWidgetItem* ReadOnlyItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    item->setToolTip(text);
    return item;
}

} // namespace

DirectoryDialog::DirectoryDialog(
    DirectoryDraft draft, bool editing, SaveFunction save, QWidget* parent)
    : QDialog(parent)
    , proposed(std::move(draft))
    , save(std::move(save))
{
    setWindowTitle(editing ? tr("Edit Directory") : tr("Add Directory"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_nameEdit = new QLineEdit(FromStd(proposed.name), this);
    m_addressEdit = new QLineEdit(FromStd(proposed.submitUrl), this);
    form->addRow(tr("Directory &name:"), m_nameEdit);
    form->addRow(tr("Submission &page:"), m_addressEdit);
    layout->addLayout(form);

    auto* fieldsLabel = new QLabel(tr("Form &fields. A field whose value is empty is not filled; "
                                      "values may hold placeholders such as #title#."),
        this);
    fieldsLabel->setWordWrap(true);
    layout->addWidget(fieldsLabel);
    m_fieldTable = new QTableWidget(this);
    fieldsLabel->setBuddy(m_fieldTable);
    layout->addWidget(m_fieldTable, 1);
    fillFieldTable();

    auto* confirmation = new QFormLayout;
    m_confirmationEdit = new QLineEdit(FromStd(proposed.onSubmit), this);
    m_confirmationEdit->setPlaceholderText(tr("After a submission: select the page's confirmation "
                                              "and choose Directory > Use Selected Text as "
                                              "Confirmation"));
    confirmation->addRow(tr("&Confirmation text:"), m_confirmationEdit);
    layout->addLayout(confirmation);

    auto* buttons = new QDialogButtonBox(this);
    m_saveButton = buttons->addButton(QDialogButtonBox::Save);
    buttons->addButton(QDialogButtonBox::Cancel);
    if (editing) {
        m_removeButton =
            buttons->addButton(tr("&Remove Directory"), QDialogButtonBox::DestructiveRole);
        connect(m_removeButton, &QPushButton::clicked, this, &DirectoryDialog::askToRemove);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &DirectoryDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DirectoryDialog::reject);
    layout->addWidget(buttons);
    resize(760, 520);
}

void DirectoryDialog::fillFieldTable()
{
    m_fieldTable->setColumnCount(ColumnCount);
    m_fieldTable->setHorizontalHeaderLabels(
        {tr("Label"), tr("Name"), tr("Index"), tr("Kind"), tr("Value"), tr("Meaning")});
    m_fieldTable->setRowCount(int(proposed.rows.size()));
    m_fieldTable->verticalHeader()->hide();
    m_fieldTable->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < int(proposed.rows.size()); ++row) {
        const DraftRow& draftRow = proposed.rows[std::size_t(row)];
        m_fieldTable->setItem(row, LabelColumn, ReadOnlyItem(FromStd(draftRow.field.label)));
        m_fieldTable->setItem(row, NameColumn, ReadOnlyItem(FromStd(draftRow.field.name)));
        m_fieldTable->setItem(
            row, IndexColumn, ReadOnlyItem(QString::number(draftRow.field.index)));
        m_fieldTable->setItem(row, KindColumn, ReadOnlyItem(KindText(draftRow)));
        m_fieldTable->setItem(row, MeaningColumn, ReadOnlyItem(QString()));
        // A field a person cannot see is shown greyed, with the reason.
        if (!draftRow.field.hidden.empty()) {
            for (const int column : {LabelColumn, NameColumn, IndexColumn, KindColumn}) {
                QTableWidgetItem* item = m_fieldTable->item(row, column);
                item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
                item->setToolTip(tr("Not in sight on the page (%1): only robots fill it.")
                                     .arg(FromStd(draftRow.field.hidden)));
            }
        }
        auto* value = new QComboBox(m_fieldTable);
        value->setEditable(true);
        value->setInsertPolicy(QComboBox::NoInsert);
        value->addItems(ValueChoices(draftRow, proposed.variables));
        value->setCurrentText(FromStd(draftRow.value));
        const std::string& shown = draftRow.value.empty() ? draftRow.variable : draftRow.value;
        for (const VariableRecord& variable : proposed.variables) {
            if (!shown.empty() && shown == variable.name)
                value->setToolTip(VariableText(variable, draftRow.field.options));
        }
        const auto showMeaning = [this, row](const QString& text) {
            m_fieldTable->item(row, MeaningColumn)
                ->setText(MeaningText(
                    text.toStdString(), proposed.rows[std::size_t(row)], proposed.variables));
        };
        showMeaning(value->currentText());
        connect(value, &QComboBox::currentTextChanged, this, showMeaning);
        m_fieldTable->setCellWidget(row, ValueColumn, value);
    }
    QHeaderView* header = m_fieldTable->horizontalHeader();
    header->setSectionResizeMode(LabelColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(KindColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(ValueColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(MeaningColumn, QHeaderView::Stretch);
    m_fieldTable->resizeColumnToContents(NameColumn);
    m_fieldTable->resizeColumnToContents(IndexColumn);
}

QComboBox* DirectoryDialog::valueBox(int row) const
{
    return qobject_cast<QComboBox*>(m_fieldTable->cellWidget(row, ValueColumn));
}

DirectoryDraft DirectoryDialog::draft() const
{
    DirectoryDraft edited = proposed;
    edited.name = m_nameEdit->text().trimmed().toStdString();
    edited.submitUrl = m_addressEdit->text().trimmed().toStdString();
    edited.onSubmit = m_confirmationEdit->text().toStdString();
    for (int row = 0; row < int(edited.rows.size()); ++row)
        edited.rows[std::size_t(row)].value = valueBox(row)->currentText().toStdString();
    return edited;
}

void DirectoryDialog::accept()
{
    const DirectoryDraft edited = draft();
    const char* missing = edited.name.empty() ? "Please enter the directory's name."
        : edited.submitUrl.empty()            ? "Please enter the address of its submission page."
                                              : nullptr;
    if (missing) {
        ShowMessageBox(this, {missing, windowTitle().toStdString(), MessageIcon::Exclamation});
        return;
    }
    if (const Result saved = save(edited); !saved) {
        ShowMessageBox(this,
            {"The directory was not saved: " + saved.Reason(), windowTitle().toStdString(),
                MessageIcon::Error});
        return;
    }
    QDialog::accept();
}

void DirectoryDialog::askToRemove()
{
    const Message question {"Remove the directory \"" + proposed.name + "\" from your directories?",
        windowTitle().toStdString(), MessageIcon::Exclamation};
    if (ShowMessageBox(this, question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        done(Removed);
}
