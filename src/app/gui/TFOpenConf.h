#pragma once
#include "AppContext.h"
#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// Step 1, Open configuration: lists the configuration folders; the main window applies the
// chosen Name_Conf when the dialog closes with OK. It changes nothing itself.
class TFOpenConf : public QDialog {
    Q_OBJECT
public:
    TFOpenConf(TAppContext& context, QWidget* parent);

    void Set_Lang();

    // The configuration chosen; empty when the list offered none.
    QString Name_Conf;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void ListBox1Click();
    void Btn_OKClick();

    TAppContext& Ctx;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};
