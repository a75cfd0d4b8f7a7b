#pragma once
#include "base/gui/AppContext.h"
#include "update/core/UpdateDescriptor.h"
#include "update/core/UpdateLog.h"
#include "update/core/UpdateSummary.h"
#include <QDialog>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class UpdaterRun;
class ConfigurationLock;

// The update window: device address, update option and read back; checks that the device
// answers, writes the updater's descriptor and starts the updater. The updater is then
// followed by a timer while the window stays live; its outcome is shown and logged.
class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    // `choices` outlive the window: it shows them when it opens and keeps them on Execute.
    UpdateDialog(AppContext& appContext, UpdateChoices& choices, QWidget* parent = nullptr);
    ~UpdateDialog() override;

    void retranslate();
    // The images of this update step, for the update log.
    void setBuiltImages(const UpdateSummary& summary) { images = summary; }
    // The device address the fields will hold when the window opens.
    QString addressOnShow() const;
    // Whether an updater this window started may still be running.
    bool updaterRunning();

public slots:
    // Closing while the updater runs asks first; the updater is never stopped.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void loadOnShow();
    void onExecuteClicked();
    bool sendPing(const QString& address, QString& error);
    void onPoll();
    void setRunning(bool running);
    // Records the run in its configuration's log as it starts; its outcome follows.
    bool logRunStart();
    void logRunOutcome(const QString& outcome);

    AppContext& context;
    UpdateChoices& choices;
    // Status of the last echo (0 none yet, 1 answered, 2 not answered).
    int pingStatus = 0;
    std::unique_ptr<UpdaterRun> updater; // the last run started here
    // The configuration whose images the updater reads, held while it may run: it is not
    // renamed, deleted or rebuilt under it.
    std::unique_ptr<ConfigurationLock> runLock;
    QTimer* pollTimer = nullptr;
    QTimer* releaseTimer = nullptr; // past the wait limit: lets the configuration go once the updater ends
    UpdateSummary images;
    // The run started last, logged in the configuration it started from, whatever is open
    // when its outcome comes.
    QString runConfigurationFolder;
    UpdateLogEntry runEntry;

    QLabel* softwareCodeLabel = nullptr;
    QLabel* softwareDescriptionLabel = nullptr;
    QLabel* addressLabel = nullptr;
    QLineEdit* addressFields[4] = {};
    QLabel* updateOptionsLabel = nullptr;
    QComboBox* updateOptionBox = nullptr;
    QCheckBox* readBackBox = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* executeButton = nullptr;
    QProgressBar* busyBar = nullptr;
    QLabel* runLabel = nullptr;
};
