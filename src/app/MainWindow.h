#pragma once
#include "base/gui/AppContext.h"
#include "update/core/UpdateDescriptor.h"
#include <QWidget>
#include <memory>

class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class UpdateDialog;
class QTimer;
class BackgroundVersionCheck;
class AboutDialog;
class NewConfigurationDialog;
class OpenConfigurationDialog;
class CommunicationDialog;
class OptionsDialog;
namespace Image {
class DeviceImage;
}
class AccessDialog;
class ConfigurationLock;

// The main window: the four steps, the icon buttons and the home of the program state.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    // Runs the start-up sequence on `programFolder`, then creates the other windows in order.
    MainWindow(AppContext& appContext, const QString& programFolder);
    ~MainWindow() override;

    void retranslate();
    void saveSettings();
    void retranslateAllWindows();
    // The update window's choices, kept for the run.
    UpdateChoices& rememberedUpdateChoices() { return updateChoices; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setUp(const QString& programFolder);
    void createWindows();
    void buildLayout();
    // The panels of the window, top to bottom: the active configuration, the four steps with
    // their buttons, the version notice and the icon buttons.
    QFrame* makeConfigurationFrame();
    QGridLayout* makeStepGrid();
    QHBoxLayout* makeIconRow();
    QPushButton* makeButton(const char* name);
    void connectButtons();
    void onAboutClicked();
    void onOptionsClicked();
    void onCommunicationClicked();
    void onAccessClicked();
    void onUpdateDeviceClicked();
    // Whether a configuration is open; says so when none is.
    bool requireConfiguration();
    // Takes the active configuration for a window that writes into it. When another program
    // holds it, says who and asks whether to open the window read-only, `readOnly` then being
    // why; false when the engineer declines.
    bool holdForWindow(ConfigurationLock& lock, Result& readOnly);
    void onNewClicked();
    void onOpenClicked();
    void updateDevice();
    void onVersionCheckTimer();
    void onVersionChecked(bool newer);
    void updateVersionCheckTimer();
    void refreshConfigurationLabel();

    AppContext& context;
    QTimer* versionCheckTimer = nullptr;
    BackgroundVersionCheck* versionCheck = nullptr;
    // The device images of the update step, rebuilt from the project's files at every step.
    std::unique_ptr<Image::DeviceImage> deviceImage;

    QLabel* softwareCodeLabel = nullptr;
    QLabel* softwareDescriptionLabel = nullptr;
    QLabel* beginLabel = nullptr;
    QLabel* configurationLabel = nullptr;
    QLabel* configurationNameLabel = nullptr;
    QLabel* stepLabels[4] = {};
    QPushButton* newButton = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* communicationButton = nullptr;
    QPushButton* accessButton = nullptr;
    QPushButton* updateDeviceButton = nullptr;
    QPushButton* aboutButton = nullptr;
    QPushButton* optionsButton = nullptr;
    QPushButton* closeButton = nullptr;
    QLabel* newVersionLink = nullptr;
    QLabel* checkingVersionLabel = nullptr;
    QLabel* makerLabel = nullptr;

    // The other windows, created once in createWindows() and owned as children.
    NewConfigurationDialog* newConfigurationDialog = nullptr;
    OpenConfigurationDialog* openConfigurationDialog = nullptr;
    AboutDialog* aboutDialog = nullptr;
    OptionsDialog* optionsDialog = nullptr;
    UpdateDialog* updateDialog = nullptr;
    UpdateChoices updateChoices;
    CommunicationDialog* communicationDialog = nullptr;
    AccessDialog* accessDialog = nullptr;
};
