#include "app/MainWindow.h"
#include "base/TextNumbers.h"
#include "configuration/core/ConfigurationFolders.h"
#include "configuration/core/ConfigurationLock.h"
#include "configuration/core/ConfigurationPaths.h"
#include "base/Conversions.h"
#include "base/Constants.h"
#include "options/core/MakerWebSite.h"
#include "base/Files.h"
#include "image/core/DeviceImage.h"
#include "image/core/ConfigurationCheck.h"
#include "base/Settings.h"
#include "options/gui/AboutDialog.h"
#include "update/gui/UpdateDialog.h"
#include "access/gui/AccessDialog.h"
#include "app/NewConfigurationDialog.h"
#include "app/OpenConfigurationDialog.h"
#include "comm/gui/CommunicationDialog.h"
#include "options/gui/OptionsDialog.h"
#include "options/core/BackgroundVersionCheck.h"
#include "update/gui/UpdateSummaryDialog.h"
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The first version check a minute after start, then one every two hours.
constexpr int firstVersionCheckMs = 60 * 1000;
constexpr int versionCheckRepeatMs = 2 * 60 * 60 * 1000;

} // namespace

MainWindow::MainWindow(AppContext& appContext, const QString& programFolder)
    : context(appContext)
    , deviceImage(std::make_unique<Image::DeviceImage>())
{
    setObjectName(QStringLiteral("TFTessavoFirmWare"));
    setUp(programFolder);
    createWindows();
}

MainWindow::~MainWindow() = default;

void MainWindow::setUp(const QString& programFolder)
{
    ProgramState& state = context.state;
    context.texts.defaultTexts();
    buildLayout();

    state.setProgramFolder(programFolder);
    state.configurationName.clear();
    updateChoices.readBack = true;
    readSettings(settingsFile(state), state);

    versionCheckTimer = new QTimer(this);
    versionCheckTimer->setObjectName(QStringLiteral("versionCheckTimer"));
    versionCheckTimer->setInterval(firstVersionCheckMs);
    connect(versionCheckTimer, &QTimer::timeout, this, &MainWindow::onVersionCheckTimer);
    versionCheck = new BackgroundVersionCheck(*context.platform.http, this);
    connect(versionCheck, &BackgroundVersionCheck::finished, this, &MainWindow::onVersionChecked);
    updateVersionCheckTimer();

    setWindowTitle(mainWindowTitle());
    softwareCodeLabel->setText(SoftwareCode);
    softwareDescriptionLabel->setText(SoftwareDescription);

    context.texts.loadLanguage(state.languageFolder, state.languageName);

    // A remembered configuration whose folder is gone, or a name that would lead outside
    // PROJECTS, stays remembered but inactive, so the next save writes its name back unchanged.
    // One that is there opens as the Open dialog opens it, leftovers of interrupted saves removed.
    if (state.existingConfigurationFolder(state.configurationName).isEmpty())
        state.configurationFolder.clear();
    else
        openConfiguration(state, state.configurationName);

    retranslate();
}

void MainWindow::createWindows()
{
    // In this order: each window takes its texts from the table when it is created.
    newConfigurationDialog = new NewConfigurationDialog(context, this);
    openConfigurationDialog = new OpenConfigurationDialog(context, this);
    connect(openConfigurationDialog, &OpenConfigurationDialog::activeConfigurationRenamed, this, [this] {
        refreshConfigurationLabel();
        saveSettings();
    });
    aboutDialog = new AboutDialog(context, this);
    optionsDialog = new OptionsDialog(
        context, [this] { retranslateAllWindows(); }, this);
    communicationDialog = new CommunicationDialog(context, this);
    accessDialog = new AccessDialog(context, this);
    updateDialog = new UpdateDialog(context, updateChoices, this);
    optionsDialog->useVersionCheck(versionCheck);
}

void MainWindow::buildLayout()
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* top = new QVBoxLayout(this);
    softwareCodeLabel = makeSoftwareCodeLabel(this);
    softwareDescriptionLabel = withObjectName(new QLabel(this), "L_SW_Desc");
    top->addWidget(softwareCodeLabel);
    top->addWidget(softwareDescriptionLabel);
    top->addWidget(makeConfigurationFrame());
    top->addLayout(makeStepGrid());
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    top->addWidget(line);
    top->addLayout(makeIconRow());
    connectButtons();

    // The design's size; longer texts make the window grow (its layout's minimum).
    resize(620, 460);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QFrame* MainWindow::makeConfigurationFrame()
{
    auto* frame = withObjectName(new QFrame(this), "Frame_Begin");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QVBoxLayout(frame);
    beginLabel = withObjectName(new QLabel(frame), "L_Begin");
    configurationLabel = withObjectName(new QLabel(frame), "L_Name_Conf");
    configurationNameLabel = withObjectName(new QLabel(frame), "L_Name_Conf_L2");
    QFont bold = beginLabel->font();
    bold.setBold(true);
    beginLabel->setFont(bold);
    configurationNameLabel->setFont(bold);
    frameLayout->addWidget(beginLabel);
    frameLayout->addWidget(configurationLabel);
    frameLayout->addWidget(configurationNameLabel);
    return frame;
}

QPushButton* MainWindow::makeButton(const char* name)
{
    auto* b = withObjectName(new QPushButton(this), name);
    b->setMinimumSize(170, 36);
    return b;
}

QGridLayout* MainWindow::makeStepGrid()
{
    newButton = makeButton("Btn_New");
    openButton = makeButton("Btn_Open");
    communicationButton = makeButton("Btn_Prm_Gen");
    accessButton = makeButton("Btn_IEC61850_Client");
    updateDeviceButton = makeButton("Btn_CreateBin");

    // Bold as the configuration's name: the frame's other label keeps the font they share.
    QFont bold = configurationLabel->font();
    bold.setBold(true);
    auto* steps = new QGridLayout;
    static const char* const stepNames[4] = {"L_Step_1", "L_Step_2", "L_Step_3", "L_Step_4"};
    for (int i = 0; i < 4; ++i) {
        stepLabels[i] = withObjectName(new QLabel(this), stepNames[i]);
        stepLabels[i]->setFont(bold);
        stepLabels[i]->setMinimumHeight(40);
        steps->addWidget(stepLabels[i], i, 0);
    }
    steps->addWidget(newButton, 0, 1);
    steps->addWidget(openButton, 0, 2);
    steps->addWidget(communicationButton, 1, 1);
    steps->addWidget(accessButton, 2, 1);
    steps->addWidget(updateDeviceButton, 3, 1);

    makerLabel = withObjectName(new QLabel(this), "L_Maker");
    makerLabel->setText(QStringLiteral("<a href=\"home\">%1</a>").arg(MakerWebHost));
    makerLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    makerLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(makerLabel, &QLabel::linkActivated, this, [this] { context.platform.shell->openUrl(makerHomePage()); });
    steps->addWidget(makerLabel, 3, 3);
    steps->setColumnStretch(3, 1);
    return steps;
}

QHBoxLayout* MainWindow::makeIconRow()
{
    auto* bottom = new QHBoxLayout;
    newVersionLink = withObjectName(new QLabel(this), "LL_Update");
    newVersionLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    newVersionLink->hide();
    connect(newVersionLink, &QLabel::linkActivated, this, [this](const QString& link) { context.platform.shell->openUrl(link); });
    bottom->addWidget(newVersionLink);
    checkingVersionLabel = withObjectName(new QLabel(this), "L_Checking_Version");
    checkingVersionLabel->hide();
    bottom->addWidget(checkingVersionLabel);
    bottom->addStretch(1);
    auto iconButton = [&](const char* name, QStyle::StandardPixmap icon) {
        auto* b = makeButton(name);
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(24, 24));
        b->setFixedSize(40, 40);
        bottom->addWidget(b);
        return b;
    };
    aboutButton = iconButton("Btn_Info", QStyle::SP_MessageBoxInformation);
    optionsButton = iconButton("Btn_Opz", QStyle::SP_FileDialogDetailedView);
    closeButton = iconButton("Btn_Close", QStyle::SP_DialogCloseButton);
    return bottom;
}

void MainWindow::connectButtons()
{
    connect(newButton, &QPushButton::clicked, this, &MainWindow::onNewClicked);
    connect(openButton, &QPushButton::clicked, this, &MainWindow::onOpenClicked);
    connect(communicationButton, &QPushButton::clicked, this, &MainWindow::onCommunicationClicked);
    connect(accessButton, &QPushButton::clicked, this, &MainWindow::onAccessClicked);
    connect(updateDeviceButton, &QPushButton::clicked, this, &MainWindow::onUpdateDeviceClicked);
    connect(aboutButton, &QPushButton::clicked, this, &MainWindow::onAboutClicked);
    connect(optionsButton, &QPushButton::clicked, this, &MainWindow::onOptionsClicked);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

void MainWindow::retranslate()
{
    const TextTable& t = context.texts;
    beginLabel->setText(t[Text::MainWindow]);
    for (int i = 0; i < 4; ++i)
        stepLabels[i]->setText(t[Text::FirstStep + i]);
    newButton->setText(t[Text::NewConfigurationCaption]);
    newButton->setToolTip(t[Text::NewConfigurationHint]);
    openButton->setText(t[Text::OpenConfigurationCaption]);
    openButton->setToolTip(t[Text::OpenConfigurationHint]);
    communicationButton->setText(t[Text::CommunicationCaption]);
    communicationButton->setToolTip(t[Text::CommunicationHint]);
    accessButton->setText(t[Text::AccessCaption]);
    accessButton->setToolTip(t[Text::AccessHint]);
    updateDeviceButton->setText(t[Text::UpdateDeviceCaption]);
    updateDeviceButton->setToolTip(t[Text::UpdateDeviceHint]);
    aboutButton->setToolTip(t[Text::AboutHint]);
    optionsButton->setToolTip(t[Text::OptionsHint]);
    closeButton->setToolTip(t[Text::CloseHint]);
    newVersionLink->setText(
        QStringLiteral("<a href=\"%1\">%2</a>").arg(makerDownloadPage(), t[Text::NewVersionAvailable].toHtmlEscaped()));
    checkingVersionLabel->setText(t[Text::CheckingVersion]);
    refreshConfigurationLabel();
}

void MainWindow::refreshConfigurationLabel()
{
    const bool active = context.state.hasConfiguration();
    configurationLabel->setText(context.texts[active ? Text::ConfigurationOpen : Text::NoConfigurationOpen]);
    configurationNameLabel->setText(active ? context.state.configurationName : context.texts[Text::OpenOrCreateConfiguration]);
}

void MainWindow::saveSettings()
{
    // A settings file that cannot be written is reported but never keeps the program open.
    context.report(writeSettings(settingsFile(context.state), context.state));
}

void MainWindow::retranslateAllWindows()
{
    // Every window in a fixed order: main, New, Open, options, update, communication, access.
    retranslate();
    newConfigurationDialog->retranslate();
    openConfigurationDialog->retranslate();
    optionsDialog->retranslate();
    updateDialog->retranslate();
    communicationDialog->retranslate();
    accessDialog->retranslate();
}

void MainWindow::onAboutClicked() { aboutDialog->exec(); }

void MainWindow::onOptionsClicked()
{
    // The options window has written its choices into the program state on OK.
    if (optionsDialog->exec() == QDialog::Accepted) {
        saveSettings();
        updateVersionCheckTimer();
    }
}

bool MainWindow::requireConfiguration()
{
    if (context.state.hasConfiguration())
        return true;
    context.error(Text::ErrorNoConfiguration);
    return false;
}

bool MainWindow::holdForWindow(ConfigurationLock& lock, Result& readOnly)
{
    readOnly = lock.acquire();
    return readOnly.ok
        || context.platform.messages->askYesNo(context.textOf(readOnly) + u'\n' + context.texts[Text::QuestionOpenReadOnly]);
}

void MainWindow::onCommunicationClicked()
{
    if (!requireConfiguration())
        return;
    // Held while the window is open: a second writer would undo this one's saves.
    ConfigurationLock lock(context.state.configurationFolder);
    Result readOnly;
    if (!holdForWindow(lock, readOnly))
        return;
    communicationDialog->setReadOnly(readOnly);
    communicationDialog->exec();
}

void MainWindow::onAccessClicked()
{
    if (!requireConfiguration())
        return;
    ConfigurationLock lock(context.state.configurationFolder);
    Result readOnly;
    if (!holdForWindow(lock, readOnly))
        return;
    accessDialog->setReadOnly(readOnly);
    accessDialog->exec();
}

void MainWindow::onUpdateDeviceClicked()
{
    if (requireConfiguration())
        updateDevice();
}

void MainWindow::onNewClicked()
{
    // The dialog makes the new configuration active itself.
    if (newConfigurationDialog->exec() == QDialog::Accepted)
        refreshConfigurationLabel();
}

void MainWindow::onOpenClicked()
{
    if (openConfigurationDialog->exec() == QDialog::Accepted) {
        openConfiguration(context.state, openConfigurationDialog->configurationName);
        refreshConfigurationLabel();
    }
}

void MainWindow::updateDevice()
{
    // The images must not change under an updater that may still be reading them.
    if (updateDialog->updaterRunning()) {
        context.platform.messages->warning(context.texts[Text::UpdaterStillRunning]);
        return;
    }
    // Nor under another program's updater, or while another program writes the files they are
    // built from.
    ConfigurationLock lock(context.state.configurationFolder);
    if (const Result held = lock.acquire(); !held) {
        context.platform.messages->error(context.textOf(held)
            + (held.textNumber == Text::ErrorConfigurationInUse ? u'\n' + context.texts[Text::ConfigurationBusyNoBuild]
                                                                : QString()));
        return;
    }
    // The device must never be updated from stale images: a failed build or write ends the step.
    const QChar separator = decimalSeparatorOf(context.platform.locale->decimalSeparator());
    // Rows or settings the device would not take as meant are built only when the engineer says so.
    if (const Problems problems = Image::checkConfiguration(configurationPaths(context.state), separator, context.texts);
        hasErrors(problems) && !context.platform.messages->askYesNo(Image::buildAnywayQuestion(problems, context.texts)))
        return;
    if (!context.report(Image::buildAndWriteImages(*deviceImage, context.state, separator)))
        return;
    // An update run takes the configuration itself, for as long as its updater runs.
    lock.release();
    const UpdateSummary summary
        = summarizeUpdate(*deviceImage, context.state, updateDialog->addressOnShow(), updateChoices.option);
    if (!confirmUpdateSummary(context, summary, this))
        return;
    updateDialog->setBuiltImages(summary);
    updateDialog->exec();
}

void MainWindow::updateVersionCheckTimer()
{
    if (context.state.enableInternet && context.state.enableUpdate)
        versionCheckTimer->start();
    else
        versionCheckTimer->stop();
}

void MainWindow::onVersionCheckTimer()
{
    // A check still under way schedules the next one when it ends.
    if (!versionCheck->start(makerVersionService()))
        return;
    versionCheckTimer->stop();
    checkingVersionLabel->show();
}

void MainWindow::onVersionChecked(bool newer)
{
    checkingVersionLabel->hide();
    newVersionLink->setVisible(newer);
    versionCheckTimer->setInterval(versionCheckRepeatMs);
    updateVersionCheckTimer();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The updater is never stopped; the engineer only decides whether to leave it alone.
    if (updateDialog->updaterRunning() && !context.platform.messages->askYesNo(context.texts[Text::QuestionQuitWhileUpdating])) {
        event->ignore();
        return;
    }
    saveSettings();
    event->accept();
}
