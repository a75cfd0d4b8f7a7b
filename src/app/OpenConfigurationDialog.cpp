#include "app/OpenConfigurationDialog.h"
#include "base/TextNumbers.h"
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

OpenConfigurationDialog::OpenConfigurationDialog(AppContext& appContext, QWidget* parent)
    : QDialog(parent)
    , context(appContext)
{
    setObjectName(QStringLiteral("TFOpenConf"));
    auto* top = new QVBoxLayout(this);
    softwareCodeLabel = makeSoftwareCodeLabel(this);
    softwareDescriptionLabel = withObjectName(new QLabel(this), "L_SW_Desc");
    listLabel = withObjectName(new QLabel(this), "Label1");
    configurationList = withObjectName(new QListWidget(this), "ListBox1");
    configurationList->setSelectionMode(QAbstractItemView::SingleSelection);
    top->addWidget(softwareCodeLabel);
    top->addWidget(softwareDescriptionLabel);
    top->addSpacing(12);
    top->addWidget(listLabel);
    top->addWidget(configurationList, 1);

    top->addLayout(makeOkCancelRow(this, okButton, cancelButton));
    okButton->setDefault(true);
    connect(configurationList, &QListWidget::currentRowChanged, this, &OpenConfigurationDialog::onConfigurationClicked);
    connect(okButton, &QPushButton::clicked, this, &OpenConfigurationDialog::onOkClicked);
    resize(420, 360);

    retranslate();
}

void OpenConfigurationDialog::retranslate()
{
    const TextTable& t = context.texts;
    setWindowTitle(t[Text::OpenConfigurationWindow]);
    softwareDescriptionLabel->setText(t[Text::OpenConfigurationWindow + 1]);
    listLabel->setText(t[Text::OpenConfigurationWindow + 2]);
    configurationList->setToolTip(t[Text::OpenConfigurationWindow + 5]);
    okButton->setText(t[Text::OpenConfigurationWindow + 3]);
    okButton->setToolTip(t[Text::OpenConfigurationWindow + 6]);
    cancelButton->setText(t[Text::OpenConfigurationWindow + 4]);
    cancelButton->setToolTip(t[Text::OpenConfigurationWindow + 7]);
}

void OpenConfigurationDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        loadOnShow();
}

void OpenConfigurationDialog::loadOnShow()
{
    const ProgramState& state = context.state;
    // Folders only, in the order the file system gives them; hidden and system ones are left out,
    // and so are links that lead outside PROJECTS.
    QStringList names = QDir(state.projectsFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    names.removeIf([&](const QString& name) { return state.existingConfigurationFolder(name).isEmpty(); });
    configurationName.clear();
    configurationList->clear();
    configurationList->addItems(names);

    const QString active = state.hasConfiguration() ? state.projectFolder.mid(state.projectsFolder.size() + 1) : QString();
    int row = names.isEmpty() ? -1 : 0;
    for (int i = 0; i < names.size(); ++i)
        if (!active.isEmpty() && names[i].compare(active, Qt::CaseInsensitive) == 0) {
            row = i;
            break;
        }
    configurationList->setCurrentRow(row);
    configurationList->setFocus();
}

void OpenConfigurationDialog::onConfigurationClicked()
{
    if (const QListWidgetItem* item = configurationList->currentItem())
        configurationName = item->text();
}

void OpenConfigurationDialog::onOkClicked()
{
    // Nothing to choose from: the active configuration stays as it was.
    if (configurationName.isEmpty())
        reject();
    else
        accept();
}
