#include "profiles/CProfileData.h"

#include "app/SortedWidgets.h"
#include "profiles/Profile.h"
#include "ui_CProfileData.h"

namespace {

CProfileData::Hook& TestHook()
{
    static CProfileData::Hook hook;
    return hook;
}

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

} // namespace

const char* const CProfileData::categoryNames[46] = {"Accounting", "Aerospace and Defense",
    "Agriculture and Forestry", "Arts", "Entertainment", "Associations", "Automotive",
    "Biotechnology and Pharmaceuticals", "Business", "Society", "Business Services", "Chemicals",
    "Construction and Maintenance", "Consumer Goods and Services", "Cooperatives",
    "Customer Service", "Directories", "E-Commerce", "Education and Training",
    "Electronics and Electrical", "Employment", "Energy and Environment", "Financial Services",
    "Food and Related Products", "Healthcare", "Hospitality", "Human Resources",
    "Industrial Goods and Services", "Information Technology", "International Business and Trade",
    "Investing", "Major Companies", "Management", "Marketing and Advertising",
    "Mining and Drilling", "News and Media", "Opportunities", "Publishing and Printing",
    "Real Estate", "Resources", "Retail Trade", "Small Business", "Telecommunications",
    "Textiles and Nonwovens", "Transportation and Logistics", "Wholesale Trade"};

CProfileData::CProfileData(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::CProfileData>())
{
    ui->setupUi(this);
    connect(ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CProfileData::~CProfileData() = default;

void CProfileData::SetTestHook(Hook hook)
{
    TestHook() = std::move(hook);
}

Profile CProfileData::Values() const
{
    Profile profile;
    profile.name = name;
    profile.url = url;
    profile.articleTitle = articleTitle;
    profile.articleContent = articleContent;
    profile.category = category;
    profile.subcategory = subcategory;
    profile.authorInfo = authorInfo;
    profile.email = email;
    profile.firstName = firstName;
    profile.lastName = lastName;
    profile.password = password;
    return profile;
}

void CProfileData::SetValues(const Profile& profile)
{
    name = profile.name;
    url = profile.url;
    articleTitle = profile.articleTitle;
    articleContent = profile.articleContent;
    category = profile.category;
    subcategory = profile.subcategory;
    authorInfo = profile.authorInfo;
    email = profile.email;
    firstName = profile.firstName;
    lastName = profile.lastName;
    password = profile.password;
}

int CProfileData::DoModal()
{
    OnInitDialog();
    int result;
    if (TestHook()) {
        show();
        result = TestHook()(*this);
        hide();
    } else {
        result = exec();
    }
    if (result == QDialog::Accepted)
        ExchangeOutOfControls();
    return result;
}

void CProfileData::OnInitDialog()
{
    ExchangeIntoControls();
    // The category lists are filled after the values went in, so they keep
    // the values as typed text; the lists stay hidden.
    const QString categoryText = ui->categoryCombo->currentText();
    for (const char* category : categoryNames)
        AddSorted(ui->categoryCombo, QString::fromLatin1(category));
    ui->categoryCombo->setCurrentIndex(-1);
    ui->categoryCombo->setEditText(categoryText);
    ui->name->setFocus();
}

void CProfileData::ExchangeIntoControls()
{
    ui->name->setText(QString::fromStdString(name));
    ui->url->setText(QString::fromStdString(url));
    ui->articleTitle->setText(QString::fromStdString(articleTitle));
    ui->articleContent->setPlainText(ToEditor(articleContent));
    ui->authorInfo->setPlainText(ToEditor(authorInfo));
    ui->email->setText(QString::fromStdString(email));
    ui->firstName->setText(QString::fromStdString(firstName));
    ui->lastName->setText(QString::fromStdString(lastName));
    ui->categoryCombo->clear();
    ui->categoryCombo->setEditText(QString::fromStdString(category));
    ui->subcategoryCombo->clear();
    ui->subcategoryCombo->setEditText(QString::fromStdString(subcategory));
    ui->password->setText(QString::fromStdString(password));
}

void CProfileData::ExchangeOutOfControls()
{
    name = ui->name->text().toStdString();
    url = ui->url->text().toStdString();
    articleTitle = ui->articleTitle->text().toStdString();
    articleContent = FromEditor(ui->articleContent->toPlainText());
    authorInfo = FromEditor(ui->authorInfo->toPlainText());
    email = ui->email->text().toStdString();
    firstName = ui->firstName->text().toStdString();
    lastName = ui->lastName->text().toStdString();
    category = ui->categoryCombo->currentText().toStdString();
    subcategory = ui->subcategoryCombo->currentText().toStdString();
    password = ui->password->text().toStdString();
}
