#pragma once
#include "base/gui/AppContext.h"
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The update window: device address, update option and read back; checks that the device
// answers, writes the updater's descriptor and starts the updater.
class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    UpdateDialog(AppContext& appContext, QWidget* parent = nullptr);

    void retranslate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void loadOnShow();
    void onExecuteClicked();
    bool sendPing(const QString& address, QString& error);

    AppContext& context;
    // Status of the last echo (0 none yet, 1 answered, 2 not answered).
    int pingStatus = 0;

    QLabel* softwareCodeLabel = nullptr;
    QLabel* softwareDescriptionLabel = nullptr;
    QLabel* addressLabel = nullptr;
    QLineEdit* addressFields[4] = {};
    QLabel* updateOptionsLabel = nullptr;
    QComboBox* updateOptionBox = nullptr;
    QCheckBox* readBackBox = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* executeButton = nullptr;
};
