#include "app/ConfigurationNameDialog.h"
#include "base/TextNumbers.h"
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ConfigurationNameDialog::ConfigurationNameDialog(AppContext& appContext, QWidget* parent)
    : QDialog(parent)
    , context(appContext)
{
    setObjectName(QStringLiteral("configurationNameDialog"));
    auto* top = new QVBoxLayout(this);
    nameLabel = withObjectName(new QLabel(this), "L_New_Name");
    nameEdit = withObjectName(new QLineEdit(this), "E_New_Name");
    nameEdit->setMinimumWidth(320);
    top->addWidget(nameLabel);
    top->addWidget(nameEdit);
    top->addLayout(makeOkCancelRow(this, okButton, cancelButton));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &ConfigurationNameDialog::onOkClicked);
    retranslate();
}

void ConfigurationNameDialog::retranslate()
{
    const TextTable& t = context.texts;
    if (titleNumber > 0)
        setWindowTitle(t[titleNumber]);
    nameLabel->setText(t[Text::NewConfigurationName]);
    okButton->setText(t[Text::ButtonOk]);
    cancelButton->setText(t[Text::ButtonCancel]);
}

bool ConfigurationNameDialog::ask(int titleNo, const QString& proposed, const std::function<bool(const QString&)>& apply)
{
    titleNumber = titleNo;
    action = apply;
    retranslate();
    nameEdit->setText(proposed);
    nameEdit->selectAll();
    nameEdit->setFocus();
    const bool taken = exec() == QDialog::Accepted;
    action = nullptr;
    return taken;
}

void ConfigurationNameDialog::onOkClicked()
{
    if (action(nameEdit->text().trimmed()))
        accept();
}
