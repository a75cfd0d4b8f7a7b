#pragma once
#include "Access_List.h"
#include "AppContext.h"
#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TGrid_View;

// The IEC 61850 access window: the SCL catalog with its device tree on the left, the access
// list's grids on the right. Loads the access file each time it is shown; only OK saves.
class TFIEC_61850_Access : public QDialog {
    Q_OBJECT
public:
    explicit TFIEC_61850_Access(TAppContext& context, QWidget* parent = nullptr);
    ~TFIEC_61850_Access() override;

    void Set_Lang();

    // The access list: device list, grids and data set entries.
    TAccess_List Access;
    QTreeWidgetItem* NODE_ORIG = nullptr;
    TIEC_DA* Selected_IEC_DA = nullptr;
    TIEC_DataSet* Selected_IEC_DS = nullptr;
    int DataSet_Row_Select = 0;
    QStringList Hint; // header hints of the variables grid, by column

    // Refills the list box from the device list; the device whose tree is shown stays selected.
    void Show_IEC_Devices();
    // The device whose tree is shown, which is also the list box's selected item; -1 for none.
    int Current_Device() const { return Shown_Device; }
    // Call after a core operation changed the grids.
    void Refresh_Grids();

    // Adds the tree's selection to the access list; removes the current row of the page shown.
    void Btn_AddVarClick();
    void Btn_RemoveVarClick();
    // Fills the members grid for the current row of the data set grid.
    void Show_DataSet_DAs();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void Build_Layout();
    void FormShow();
    void Btn_OKClick();
    void Set_Column_Editors();
    void ACG_DS_VarsSelectCell();
    void ACG_DS_VarsEditCellDone(const QModelIndex& index);
    void Btn_Add_IEC_DeviceClick();
    void Btn_Remove_IEC_DeviceClick();
    void LB_IEC_DevicesClick();
    void TV_IEC_DeviceClick(QTreeWidgetItem* node);
    void Clear_Tree();

    TAppContext& Ctx;
    int Shown_Device = -1;

public:
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QPushButton* Btn_Add_IEC_Device = nullptr;
    QListWidget* LB_IEC_Devices = nullptr;
    QPushButton* Btn_Remove_IEC_Device = nullptr;
    QTreeWidget* TV_IEC_Device = nullptr;
    QTabWidget* PC_Access = nullptr;
    QWidget* TS_Variables = nullptr;
    QWidget* TS_DataSet = nullptr;
    TGrid_View* ACG_DA = nullptr;
    TGrid_View* ACG_DataSet = nullptr;
    TGrid_View* ACG_DS_Vars = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QPushButton* Btn_AddVar = nullptr;
    QPushButton* Btn_RemoveVar = nullptr;
    QPushButton* Btn_MoveUp = nullptr;
    QPushButton* Btn_MoveDown = nullptr;
};
