#pragma once
#include "base/gui/AppContext.h"
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Step 1, New configuration: makes a folder under PROJECTS (with its bin folder) and, on
// success, makes it the active configuration before closing with OK.
class NewConfigurationDialog : public QDialog {
    Q_OBJECT
public:
    NewConfigurationDialog(AppContext& appContext, QWidget* parent);

    void retranslate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadOnShow();
    void onOkClicked();

    AppContext& context;
    QLabel* softwareCodeLabel = nullptr;
    QLabel* softwareDescriptionLabel = nullptr;
    QLabel* nameLabel = nullptr;
    QLineEdit* nameEdit = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};
