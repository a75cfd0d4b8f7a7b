#pragma once
#include "base/gui/AppContext.h"
#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// Step 1, Open configuration: lists the configuration folders; the main window applies the
// chosen configurationName when the dialog closes with OK. It changes nothing itself.
class OpenConfigurationDialog : public QDialog {
    Q_OBJECT
public:
    OpenConfigurationDialog(AppContext& appContext, QWidget* parent);

    void retranslate();

    // The configuration chosen; empty when the list offered none.
    QString configurationName;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadOnShow();
    void onConfigurationClicked();
    void onOkClicked();

    AppContext& context;
    QLabel* softwareCodeLabel = nullptr;
    QLabel* softwareDescriptionLabel = nullptr;
    QLabel* listLabel = nullptr;
    QListWidget* configurationList = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
