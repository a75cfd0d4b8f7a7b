#pragma once
#include "base/gui/AppContext.h"
#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class ConfigurationNameDialog;

// Step 1, Open configuration: lists the configuration folders; the main window applies the
// chosen configurationName when the dialog closes with OK. Beside opening, it renames,
// duplicates and deletes configurations; it changes the program state only when the active
// configuration is renamed, and then says so.
class OpenConfigurationDialog : public QDialog {
    Q_OBJECT
public:
    OpenConfigurationDialog(AppContext& appContext, QWidget* parent);

    void retranslate();

    // The configuration chosen; empty when the list offered none.
    QString configurationName;

signals:
    // The active configuration has a new name: the program state holds it already.
    void activeConfigurationRenamed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadOnShow();
    // Lists the configuration folders and selects `preferred` (ignoring case), else the first.
    void fillList(const QString& preferred);
    void onConfigurationClicked();
    void onOkClicked();
    void onRenameClicked();
    void onDuplicateClicked();
    void onDeleteClicked();
    // A configuration in use (edited by another program, its images read by an updater) is
    // neither renamed nor deleted: says who holds it and gives true.
    bool reportInUse(const QString& name);

    AppContext& context;
    ConfigurationNameDialog* nameDialog = nullptr;
    QLabel* softwareCodeLabel = nullptr;
    QLabel* softwareDescriptionLabel = nullptr;
    QLabel* listLabel = nullptr;
    QListWidget* configurationList = nullptr;
    QPushButton* renameButton = nullptr;
    QPushButton* duplicateButton = nullptr;
    QPushButton* deleteButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
