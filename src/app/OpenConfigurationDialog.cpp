#include "app/OpenConfigurationDialog.h"
#include "app/ConfigurationNameDialog.h"
#include "configuration/core/ConfigurationFolders.h"
#include "configuration/core/ConfigurationLock.h"
#include "base/Files.h"
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
    , nameDialog(new ConfigurationNameDialog(appContext, this))
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

    // The list, and beside it the buttons that manage the selected configuration.
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(configurationList, 1);
    auto* manage = new QVBoxLayout;
    renameButton = withObjectName(new QPushButton(this), "Btn_Rename");
    duplicateButton = withObjectName(new QPushButton(this), "Btn_Duplicate");
    deleteButton = withObjectName(new QPushButton(this), "Btn_Delete");
    for (QPushButton* b : {renameButton, duplicateButton, deleteButton}) {
        b->setAutoDefault(false);
        manage->addWidget(b);
    }
    manage->addStretch(1);
    listRow->addLayout(manage);
    top->addLayout(listRow, 1);

    top->addLayout(makeOkCancelRow(this, okButton, cancelButton));
    okButton->setDefault(true);
    connect(configurationList, &QListWidget::currentRowChanged, this, &OpenConfigurationDialog::onConfigurationClicked);
    connect(configurationList, &QListWidget::itemDoubleClicked, this, &OpenConfigurationDialog::onOkClicked);
    connect(okButton, &QPushButton::clicked, this, &OpenConfigurationDialog::onOkClicked);
    connect(renameButton, &QPushButton::clicked, this, &OpenConfigurationDialog::onRenameClicked);
    connect(duplicateButton, &QPushButton::clicked, this, &OpenConfigurationDialog::onDuplicateClicked);
    connect(deleteButton, &QPushButton::clicked, this, &OpenConfigurationDialog::onDeleteClicked);
    resize(480, 360);

    retranslate();
}

void OpenConfigurationDialog::retranslate()
{
    const TextTable& t = context.texts;
    setWindowTitle(t[Text::OpenConfigurationWindow]);
    softwareDescriptionLabel->setText(t[Text::OpenConfigurationDescription]);
    listLabel->setText(t[Text::OpenConfigurationListLabel]);
    configurationList->setToolTip(t[Text::OpenConfigurationListHint]);
    okButton->setText(t[Text::OpenConfigurationOk]);
    okButton->setToolTip(t[Text::OpenConfigurationOkHint]);
    cancelButton->setText(t[Text::OpenConfigurationCancel]);
    cancelButton->setToolTip(t[Text::OpenConfigurationCancelHint]);
    QPushButton* const manage[] = {renameButton, duplicateButton, deleteButton};
    for (int i = 0; i < 3; ++i) {
        manage[i]->setText(t[Text::ConfigurationButtons + i]);
        manage[i]->setToolTip(t[Text::ConfigurationButtonHints + i]);
    }
    nameDialog->retranslate();
}

void OpenConfigurationDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        loadOnShow();
}

void OpenConfigurationDialog::loadOnShow()
{
    fillList(context.state.activeConfigurationFolderName());
    configurationList->setFocus();
}

void OpenConfigurationDialog::fillList(const QString& preferred)
{
    const ProgramState& state = context.state;
    // Folders only, in the order the file system gives them; hidden and system ones are left out,
    // and so are links that lead outside PROJECTS.
    QStringList names = QDir(state.projectsFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    names.removeIf([&](const QString& name) { return state.existingConfigurationFolder(name).isEmpty(); });
    configurationName.clear();
    configurationList->clear();
    configurationList->addItems(names);

    int row = names.isEmpty() ? -1 : 0;
    for (int i = 0; i < names.size(); ++i)
        if (!preferred.isEmpty() && names[i].compare(preferred, Qt::CaseInsensitive) == 0) {
            row = i;
            break;
        }
    configurationList->setCurrentRow(row);
    onConfigurationClicked();
}

void OpenConfigurationDialog::onConfigurationClicked()
{
    const QListWidgetItem* item = configurationList->currentItem();
    if (item)
        configurationName = item->text();
    for (QPushButton* b : {renameButton, duplicateButton, deleteButton})
        b->setEnabled(item != nullptr);
}

void OpenConfigurationDialog::onOkClicked()
{
    // Nothing to choose from: the active configuration stays as it was.
    if (configurationName.isEmpty())
        reject();
    else
        accept();
}

bool OpenConfigurationDialog::reportInUse(const QString& name)
{
    const Result free = checkConfigurationFree(joinPath(context.state.projectsFolder, name));
    if (!free)
        context.platform.messages->error(context.textOf(free) + u'\n' + context.texts[Text::ConfigurationBusyNoRename]);
    return !free;
}

void OpenConfigurationDialog::onRenameClicked()
{
    const QString from = configurationName;
    const QString& projects = context.state.projectsFolder;
    if (reportInUse(from))
        return;
    nameDialog->ask(Text::RenameConfigurationWindow, from, [&](const QString& to) {
        if (to == from)
            return true;
        if (!context.report(checkNewConfigurationName(projects, to, from)))
            return false;
        // Taken meanwhile, while the name was typed.
        if (reportInUse(from))
            return true;
        const bool active = context.state.isActiveConfiguration(from);
        if (!context.report(renameConfiguration(projects, from, to)))
            return false;
        if (active) {
            openConfiguration(context.state, to);
            emit activeConfigurationRenamed();
        }
        fillList(to);
        return true;
    });
}

void OpenConfigurationDialog::onDuplicateClicked()
{
    const QString from = configurationName;
    const QString& projects = context.state.projectsFolder;
    // The first of "Name (2)", "Name (3)", ... that no configuration takes.
    QString proposed;
    for (int n = 2; proposed.isEmpty() || !clashingConfiguration(projects, proposed).isEmpty(); ++n)
        proposed = QStringLiteral("%1 (%2)").arg(from).arg(n);
    nameDialog->ask(Text::DuplicateConfigurationWindow, proposed, [&](const QString& to) {
        if (!context.report(checkNewConfigurationName(projects, to))
            || !context.report(duplicateConfiguration(projects, from, to)))
            return false;
        fillList(to);
        return true;
    });
}

void OpenConfigurationDialog::onDeleteClicked()
{
    const QString name = configurationName;
    if (context.state.isActiveConfiguration(name)) {
        context.error(Text::ErrorActiveNotDeleted);
        return;
    }
    if (reportInUse(name))
        return;
    const TextTable& t = context.texts;
    MessageService& messages = *context.platform.messages;
    if (!messages.askYesNo(t[Text::QuestionDelete] + name + t[Text::QuestionDeleteEnd]))
        return;
    // Without a trash that takes the folder, nothing would bring the files back: ask once more.
    const QString folder = joinPath(context.state.projectsFolder, name);
    if (!context.platform.trash->moveToTrash(folder)) {
        if (!messages.askYesNo(t[Text::QuestionDeleteForever] + name + t[Text::QuestionDeleteForeverEnd]))
            return;
        context.report(deleteConfigurationFolder(folder));
    }
    fillList(context.state.activeConfigurationFolderName());
}
