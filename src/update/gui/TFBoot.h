#pragma once
#include "AppContext.h"
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The update window: device address, update option and read back; checks that the device
// answers, writes the updater's descriptor and starts the updater.
class TFBoot : public QDialog {
    Q_OBJECT
public:
    TFBoot(TAppContext& context, QWidget* parent = nullptr);

    void Set_Lang();

    // The update mode, set by the main window before every showing; 1 is the Ethernet update.
    int Form_Type = 1;
    // Status of the last echo (0 none yet, 1 answered, 2 not answered).
    int ping_res = 0;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Build_Layout();
    void FormShow();
    void Btn_UpdateClick();
    bool Send_Ping(const QString& address, QString& error);

    TAppContext& Ctx;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* L_IP_Address = nullptr;
    QLineEdit* E_IP[4] = {};
    QLabel* L_Update_Options = nullptr;
    QComboBox* CB_Update_Options = nullptr;
    QCheckBox* CB_Update_Option_Read_Back = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QPushButton* Btn_Update = nullptr;
};
