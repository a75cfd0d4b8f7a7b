#include "app/NewConfigurationDialog.h"
#include "base/TextNumbers.h"
#include "configuration/core/ConfigurationFolders.h"
#include "base/Files.h"
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

NewConfigurationDialog::NewConfigurationDialog(AppContext& appContext, QWidget* parent)
    : QDialog(parent)
    , context(appContext)
{
    setObjectName(QStringLiteral("TFNew_Project"));
    auto* top = new QVBoxLayout(this);
    softwareCodeLabel = makeSoftwareCodeLabel(this);
    softwareDescriptionLabel = withObjectName(new QLabel(this), "L_SW_Desc");
    nameLabel = withObjectName(new QLabel(this), "Label1");
    nameEdit = withObjectName(new QLineEdit(this), "E_New_Proj");
    top->addWidget(softwareCodeLabel);
    top->addWidget(softwareDescriptionLabel);
    top->addSpacing(12);
    top->addWidget(nameLabel);
    top->addWidget(nameEdit);
    top->addStretch(1);

    top->addLayout(makeOkCancelRow(this, okButton, cancelButton));
    // Enter in the name field presses OK.
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &NewConfigurationDialog::onOkClicked);
    resize(420, 200);

    retranslate();
}

void NewConfigurationDialog::retranslate()
{
    const TextTable& t = context.texts;
    setWindowTitle(t[Text::NewConfigurationWindow]);
    softwareDescriptionLabel->setText(t[Text::NewConfigurationDescription]);
    nameLabel->setText(t[Text::NewConfigurationNameLabel]);
    nameEdit->setToolTip(t[Text::NewConfigurationNameHint]);
    okButton->setText(t[Text::NewConfigurationOk]);
    okButton->setToolTip(t[Text::NewConfigurationOkHint]);
    cancelButton->setText(t[Text::NewConfigurationCancel]);
    cancelButton->setToolTip(t[Text::NewConfigurationCancelHint]);
}

void NewConfigurationDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        loadOnShow();
}

void NewConfigurationDialog::loadOnShow()
{
    nameEdit->clear();
    nameEdit->setFocus();
}

void NewConfigurationDialog::onOkClicked()
{
    // Blanks at the ends are dropped: "Trail" and "Trail " would look the same in every list.
    const QString name = nameEdit->text().trimmed();
    if (!context.report(checkNewConfigurationName(context.state.projectsFolder, name)))
        return;
    if (!context.report(createConfiguration(context.state.projectsFolder, name)))
        return;
    openConfiguration(context.state, name);
    accept();
}
