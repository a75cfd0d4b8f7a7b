#pragma once
#include "AppContext.h"
#include <QDialog>
#include <QStringList>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;

// The software options: the language (pages of six flags), the Internet connection and the
// version check, and two behaviours of the tables. A language picked here re-labels every
// window at once; everything else reaches the program state only with OK.
class TFSoftOptions : public QDialog {
    Q_OBJECT
public:
    // `changeLanguage` re-labels every window of the program (the main window's Change_Language).
    TFSoftOptions(TAppContext& context, std::function<void()> changeLanguage, QWidget* parent = nullptr);

    void Set_Lang();

    QStringList SL_Languages;
    int Show_Page = 1;
    QString Language_In_Use;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void Build_Layout();
    void Create_Lang_List();
    void Update_Lang_Page(int Num_Page);
    void Compose_Page_Texts();
    void Compose_Check_Result();
    void Btn_NextClick(QPushButton* sender);
    void LangClick(int slot);
    void Update_CheckBox();
    void CB_En_ConClick();
    void Btn_Check_UpdateClick();
    void LL_Check_UpdateLinkClick(const QString& link);
    void Btn_OKClick();

    TAppContext& Ctx;
    std::function<void()> Change_Language;
    // The answer of the last check at once, while its result is shown.
    std::optional<bool> Update_Found;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QTabWidget* PC_Options = nullptr;
    QWidget* TS_Language = nullptr;
    QWidget* TS_Con_Options = nullptr;
    QWidget* TS_Soft_Settings = nullptr;
    QLabel* L_Sel_Lang = nullptr;
    QLabel* I_L[6] = {};
    QLabel* L_L[6] = {};
    QLabel* L_Page_Lang = nullptr;
    QPushButton* Btn_Prev = nullptr;
    QPushButton* Btn_Next = nullptr;
    QCheckBox* CB_En_Con = nullptr;
    QCheckBox* CB_Update = nullptr;
    QPushButton* Btn_Check_Update = nullptr;
    QLabel* LL_Check_Update = nullptr;
    QCheckBox* CB_Soft_Set_Jump_Table = nullptr;
    QCheckBox* CB_DoubleClick_Auto_Size = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};
