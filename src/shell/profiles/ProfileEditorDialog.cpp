#include "shell/profiles/ProfileEditorDialog.h"

#include "core/profiles/Categories.h"
#include "shell/profiles/SortedWidgets.h"
#include "ui_ProfileEditorDialog.h"

namespace {

// Multi-line fields hold CR LF line breaks; the text editor uses LF.
QString ToEditor(const std::string& text)
{
    QString result = QString::fromStdString(text);
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return result;
}

std::string FromEditor(const QString& text)
{
    QString result = text;
    result.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return result.toStdString();
}

// The control that edits `field`: the buddy of the form's label that shows
// the field's label. Every field has one.
QWidget* Control(const QWidget& form, const ProfileField& field)
{
    const QString label = QString::fromLatin1(field.label);
    for (const QLabel* candidate : form.findChildren<QLabel*>()) {
        if (candidate->text() == label)
            return candidate->buddy();
    }
    return nullptr;
}

void SetControlText(QWidget* control, const std::string& value)
{
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(QString::fromStdString(value));
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(control)) {
        text->setPlainText(ToEditor(value));
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->clear();
        combo->setEditText(QString::fromStdString(value));
    }
}

std::string ControlText(const QWidget* control)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text().toStdString();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(control))
        return FromEditor(text->toPlainText());
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText().toStdString();
    return {};
}

} // namespace

ProfileEditorDialog::ProfileEditorDialog(const Profile& profile, QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::ProfileEditorDialog>())
{
    ui->setupUi(this);
    connect(ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    for (const ProfileField& field : profileFields)
        SetControlText(Control(*this, field), profile.*field.member);
    // The category lists are filled after the values went in, so they keep
    // the values as typed text; the lists stay hidden.
    const QString categoryText = ui->categoryCombo->currentText();
    for (const char* category : profileCategories)
        AddSorted(ui->categoryCombo, QString::fromLatin1(category));
    ui->categoryCombo->setCurrentIndex(-1);
    ui->categoryCombo->setEditText(categoryText);
    ui->name->setFocus();
}

ProfileEditorDialog::~ProfileEditorDialog() = default;

Profile ProfileEditorDialog::values() const
{
    Profile profile;
    for (const ProfileField& field : profileFields)
        profile.*field.member = ControlText(Control(*this, field));
    return profile;
}

void ProfileEditorDialog::setExtras(const ProfileExtras& extras)
{
    SetControlText(ui->byline, extras.byline);
    SetControlText(ui->summary, extras.summary);
    SetControlText(ui->tags, extras.tags);
}

ProfileExtras ProfileEditorDialog::extras() const
{
    return {ControlText(ui->byline), ControlText(ui->summary), ControlText(ui->tags)};
}
