#include "update/gui/UpdateDialog.h"
#include "configuration/core/ConfigurationLock.h"
#include "base/TextNumbers.h"
#include "base/Conversions.h"
#include "base/Constants.h"
#include "base/gui/OctetFields.h"
#include "update/core/ReachabilityCheck.h"
#include "update/core/UpdaterLauncher.h"
#include "update/core/UpdateDescriptor.h"
#include "update/core/UpdateLog.h"
#include "update/gui/UpdateOptionTexts.h"
#include <QCheckBox>
#include <array>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

UpdateDialog::UpdateDialog(AppContext& appContext, UpdateChoices& updateChoices, QWidget* parent)
    : QDialog(parent)
    , context(appContext)
    , choices(updateChoices)
{
    setObjectName(QStringLiteral("TFBoot"));
    buildLayout();
    retranslate();
    // The four bands stacked: 449 wide, as high as they need; longer texts make it grow.
    resize(449, sizeHint().height());
    connect(executeButton, &QPushButton::clicked, this, &UpdateDialog::onExecuteClicked);
    connect(cancelButton, &QPushButton::clicked, this, &UpdateDialog::reject);
    pollTimer = new QTimer(this);
    pollTimer->setInterval(updaterPollMs);
    connect(pollTimer, &QTimer::timeout, this, &UpdateDialog::onPoll);
    releaseTimer = new QTimer(this);
    releaseTimer->setInterval(1000);
    connect(releaseTimer, &QTimer::timeout, this, [this] {
        if (!updaterRunning())
            releaseTimer->stop();
    });
}

UpdateDialog::~UpdateDialog() = default;

void UpdateDialog::buildLayout()
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    auto* top = new QVBoxLayout(this);
    auto band = [this, top](const char* name) {
        auto* frame = withObjectName(new QFrame(this), name);
        frame->setFrameShape(QFrame::StyledPanel);
        top->addWidget(frame);
        return frame;
    };

    QFrame* title = band("P_Title");
    auto* titleLayout = new QVBoxLayout(title);
    softwareCodeLabel = makeSoftwareCodeLabel(title);
    softwareDescriptionLabel = withObjectName(new QLabel(title), "L_SW_Desc");
    titleLayout->addWidget(softwareCodeLabel);
    titleLayout->addWidget(softwareDescriptionLabel);

    QFrame* addressPanel = band("P_IP_Address");
    auto* addressLayout = new QHBoxLayout(addressPanel);
    addressLabel = withObjectName(new QLabel(addressPanel), "L_IP_Address");
    addressLayout->addWidget(addressLabel);
    addressLayout->addStretch(1);
    static const char* const names[4] = {"E_IP1", "E_IP2", "E_IP3", "E_IP4"};
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            addressLayout->addWidget(new QLabel(QStringLiteral("."), addressPanel));
        addressFields[i] = withObjectName(new QLineEdit(QStringLiteral("0"), addressPanel), names[i]);
        addressFields[i]->setFixedWidth(40);
        addressFields[i]->setAlignment(Qt::AlignCenter);
        addressLayout->addWidget(addressFields[i]);
    }
    chainOctetFields({addressFields[0], addressFields[1], addressFields[2], addressFields[3]});

    QFrame* optionsPanel = band("P_Update_Options");
    auto* optionsLayout = new QGridLayout(optionsPanel);
    updateOptionsLabel = withObjectName(new QLabel(optionsPanel), "L_Update_Options");
    updateOptionBox = withObjectName(new QComboBox(optionsPanel), "CB_Update_Options");
    readBackBox = withObjectName(new QCheckBox(optionsPanel), "CB_Update_Option_Read_Back");
    optionsLayout->addWidget(updateOptionsLabel, 0, 0, 1, 2);
    optionsLayout->addWidget(updateOptionBox, 1, 0);
    optionsLayout->addWidget(readBackBox, 1, 1);
    optionsLayout->setColumnStretch(0, 1);

    QFrame* buttons = band("P_Buttons");
    auto* buttonsBand = new QVBoxLayout(buttons);
    // The updater's state: a busy bar and the elapsed time while it runs, then its outcome.
    auto* runRow = new QHBoxLayout;
    busyBar = withObjectName(new QProgressBar(buttons), "PB_Running");
    busyBar->setRange(0, 0);
    busyBar->setFixedWidth(120);
    runLabel = withObjectName(new QLabel(buttons), "L_Run_State");
    for (QWidget* w : QList<QWidget*>{busyBar, runLabel}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        w->hide();
    }
    runRow->addWidget(busyBar);
    runRow->addWidget(runLabel, 1);
    buttonsBand->addLayout(runRow);
    auto* buttonsLayout = new QHBoxLayout;
    buttonsBand->addLayout(buttonsLayout);
    cancelButton = withObjectName(new QPushButton(buttons), "Btn_Cancel");
    executeButton = withObjectName(new QPushButton(buttons), "Btn_Update");
    executeButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
    buttonsLayout->addWidget(cancelButton);
    buttonsLayout->addStretch(1);
    buttonsLayout->addWidget(executeButton);

    // Tab order: address panel, options panel, buttons.
    QWidget* order[] = {addressFields[0], addressFields[1], addressFields[2], addressFields[3], updateOptionBox, readBackBox,
        cancelButton, executeButton};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void UpdateDialog::retranslate()
{
    const TextTable& t = context.texts;
    setWindowTitle(t[Text::UpdateWindowTitle]);
    softwareDescriptionLabel->setText(t[Text::UpdateDescription]);
    addressLabel->setText(t[Text::DeviceAddressLabel]);
    for (int i = 0; i < 4; ++i)
        addressFields[i]->setToolTip(t[Text::AddressOctetHints + i]);
    updateOptionsLabel->setText(t[Text::UpdateOptionsLabel]);
    updateOptionBox->clear();
    for (const int option : updateOptionTexts)
        updateOptionBox->addItem(t[option]);
    updateOptionBox->setCurrentIndex(0);
    updateOptionBox->setToolTip(t[Text::UpdateOptionsHint]);
    readBackBox->setText(t[Text::ReadBack]);
    readBackBox->setToolTip(t[Text::ReadBackHint]);
    cancelButton->setText(t[Text::UpdateCancel]);
    cancelButton->setToolTip(t[Text::UpdateCancelHint]);
    executeButton->setText(t[Text::UpdateExecute]);
    executeButton->setToolTip(t[Text::UpdateExecuteHint]);
}

void UpdateDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        loadOnShow();
    QDialog::showEvent(event);
}

void UpdateDialog::loadOnShow()
{
    retranslate();
    softwareCodeLabel->setText(SoftwareCode);
    const QStringList parts = addressOnShow().split(u'.');
    for (int i = 0; i < 4; ++i)
        addressFields[i]->setText(parts[i]);
    updateOptionBox->setCurrentIndex(choices.option);
    readBackBox->setChecked(choices.readBack);
    if (addressFields[0]->isEnabled())
        addressFields[0]->setFocus(Qt::OtherFocusReason);
}

QString UpdateDialog::addressOnShow() const
{
    std::array<QString, 4> parts;
    if (splitIpAddress(context.state.lastIpAddress, parts))
        return QStringList(parts.begin(), parts.end()).join(u'.');
    return QStringList{addressFields[0]->text(), addressFields[1]->text(), addressFields[2]->text(), addressFields[3]->text()}
        .join(u'.');
}

bool UpdateDialog::sendPing(const QString& address, QString& error)
{
    return ::sendPing(
        *context.platform.icmpEcho, *context.platform.clock, address, pingStatus, [] { QCoreApplication::processEvents(); },
        error);
}

void UpdateDialog::onExecuteClicked()
{
    // Two updaters at once would both write to the device.
    if (updaterRunning()) {
        context.platform.messages->warning(context.texts[Text::UpdaterStillRunning]);
        return;
    }
    const QString address
        = QStringList{addressFields[0]->text(), addressFields[1]->text(), addressFields[2]->text(), addressFields[3]->text()}
              .join(u'.');
    // The check processes window messages: no second check may start inside this one.
    executeButton->setEnabled(false);
    QString why;
    const bool answered = sendPing(address, why);
    executeButton->setEnabled(true);
    // Closed while the check ran: the engineer has left, nothing is stored or started.
    if (!isVisible())
        return;
    if (!answered) {
        if (pingStatus == PingNotAnswered)
            context.platform.messages->warning(context.texts[Text::DeviceNotFound]);
        else
            context.platform.messages->error(
                why.isEmpty() ? context.texts[Text::ErrorCheckAddress] : context.texts[Text::ErrorCheckAddress] + u'\n' + why);
        return;
    }

    // Held until the updater ends: nothing renames, deletes or rebuilds what it reads.
    runLock = std::make_unique<ConfigurationLock>(context.state.configurationFolder);
    if (const Result held = runLock->acquire(); !held) {
        runLock.reset();
        context.platform.messages->error(context.textOf(held) + u'\n' + context.texts[Text::ConfigurationBusyNoUpdate]);
        return;
    }
    ProgramState& state = context.state;
    state.lastIpAddress = address;
    choices.option = updateOptionBox->currentIndex();
    choices.readBack = readBackBox->isChecked();
    const UpdateRequest request{address, choices.option, choices.readBack, state.masterFolder, state.configurationFolder};
    // Never start the updater on an old descriptor, which may name another project.
    if (!context.report(writeUpdateDescriptor(request, state.programFolder))) {
        runLock.reset();
        return;
    }
    // A run that cannot be recorded is not started: the log must hold every run.
    if (!logRunStart()) {
        runLock.reset();
        return;
    }
    updater = std::make_unique<UpdaterRun>(*context.platform.processLauncher, *context.platform.clock);
    // In the program folder, where the descriptor lies, whatever folder we were started in.
    const Result started = updater->start(updaterProgram(state.programFolder), state.programFolder, Visibility::Shown);
    if (!started) {
        runLock.reset();
        logRunOutcome(outcomeNotStarted(context.textOf(started)));
        context.report(started);
        return;
    }
    setRunning(true);
    runLabel->setText(context.texts[Text::UpdaterRunning] + QStringLiteral("0 s"));
    pollTimer->start();
}

bool UpdateDialog::updaterRunning()
{
    const bool running = updater && updater->stillRunning();
    if (!running)
        runLock.reset();
    return running;
}

void UpdateDialog::onPoll()
{
    const UpdaterRun::State state = updater->poll();
    if (state == UpdaterRun::State::Running) {
        runLabel->setText(
            context.texts[Text::UpdaterRunning] + QString::number(updater->elapsedMs() / 1000) + QStringLiteral(" s"));
        return;
    }
    pollTimer->stop();
    setRunning(false);
    const TextTable& t = context.texts;
    const int code = updater->exitCode();
    const bool ended = state == UpdaterRun::State::Ended;
    if (ended)
        runLock.reset();
    else
        releaseTimer->start();
    const QString outcome = !ended ? t[Text::UpdaterStillRunning]
        : code == 0                ? t[Text::UpdaterEndedOk]
                                   : t[Text::UpdaterEndedWithCode] + QString::number(code);
    runLabel->setText(outcome);
    runLabel->show();
    logRunOutcome(ended ? outcomeExitCode(code) : outcomeStillRunning());
    if (ended && code == 0)
        context.platform.messages->Information(outcome);
    else
        context.platform.messages->warning(outcome);
}

void UpdateDialog::setRunning(bool running)
{
    // Disabled for real: clicks meanwhile are dropped, not kept for later.
    for (QWidget* w : QList<QWidget*>{
             executeButton, updateOptionBox, readBackBox, addressFields[0], addressFields[1], addressFields[2], addressFields[3]})
        w->setEnabled(!running);
    busyBar->setVisible(running);
    runLabel->setVisible(running);
}

bool UpdateDialog::logRunStart()
{
    const ProgramState& state = context.state;
    runConfigurationFolder = state.configurationFolder;
    runEntry = {QDateTime::currentDateTime(), state.lastIpAddress, choices.option, choices.readBack, images.bank1Bytes,
        images.bank2Bytes, images.checksum, {}};
    return context.report(startUpdateLog(ConfigurationPaths(runConfigurationFolder), runEntry));
}

void UpdateDialog::logRunOutcome(const QString& outcome)
{
    context.report(completeUpdateLog(ConfigurationPaths(runConfigurationFolder), runEntry, outcome));
}

void UpdateDialog::reject()
{
    if (pollTimer->isActive() && !context.platform.messages->askYesNo(context.texts[Text::QuestionCloseWhileUpdating]))
        return;
    QDialog::reject();
}
