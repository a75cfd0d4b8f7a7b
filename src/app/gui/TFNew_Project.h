#pragma once
#include "AppContext.h"
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Step 1, New configuration: makes a folder under PROJECTS (with its bin folder) and, on
// success, makes it the active configuration before closing with OK.
class TFNew_Project : public QDialog {
    Q_OBJECT
public:
    TFNew_Project(TAppContext& context, QWidget* parent);

    void Set_Lang();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void Btn_OKClick();

    TAppContext& Ctx;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* E_New_Proj = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};
