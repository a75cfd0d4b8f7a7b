#pragma once
#include "AppContext.h"
#include <QWidget>

class QLabel;
class QPushButton;
class TFBoot;
class QTimer;
class TFAbout;
class TFSoftOptions;

// The main window: the four steps, the icon buttons and the home of the program state.
class TFTessavoFirmWare : public QWidget {
    Q_OBJECT
public:
    // Runs the start-up sequence on `programFolder`, then creates the other windows in order.
    TFTessavoFirmWare(TAppContext& context, const QString& programFolder);
    ~TFTessavoFirmWare() override;

    void Set_Lang();
    void Set_Files();
    void Save_Setting();
    void Change_Language();

    QTimer* Timer_Update = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const QString& programFolder);
    void Create_Windows();
    void Build_Layout();
    void Btn_Click(QPushButton* sender);
    void Create_New_Project();
    void Open_Project();
    void Update_Device();
    void Show_Update_Window();
    void Timer_UpdateTimer();
    void Update_Timer_State();
    void Refresh_Frame();

    TAppContext& Ctx;

    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QLabel* L_Begin = nullptr;
    QLabel* L_Name_Conf = nullptr;
    QLabel* L_Name_Conf_L2 = nullptr;
    QLabel* L_Step[4] = {};
    QPushButton* Btn_New = nullptr;
    QPushButton* Btn_Open = nullptr;
    QPushButton* Btn_Prm_Gen = nullptr;
    QPushButton* Btn_IEC61850_Client = nullptr;
    QPushButton* Btn_CreateBin = nullptr;
    QPushButton* Btn_Info = nullptr;
    QPushButton* Btn_Opz = nullptr;
    QPushButton* Btn_Close = nullptr;
    QLabel* LL_Update = nullptr;
    QLabel* L_Maker = nullptr;

    // The other windows, created once in Create_Windows and owned as children.
    TFAbout* FAbout = nullptr;
    TFSoftOptions* FSoftOptions = nullptr;
    TFBoot* FBoot = nullptr;
};
