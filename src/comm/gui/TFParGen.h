#pragma once
#include "AppContext.h"
#include "ParGen.h"
#include <QDialog>
#include <array>
#include <vector>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

// Step 2, Communication settings: edits ParGen.xml of the active configuration. Every showing
// reloads the file; OK checks the entries and saves them, Cancel and the close box discard.
class TFParGen : public QDialog {
    Q_OBJECT
public:
    TFParGen(TAppContext& context, QWidget* parent);

    void Set_Lang();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // A collapsible panel: a header button that shows or hides the body.
    struct TPanel {
        QWidget* Frame = nullptr;
        QToolButton* Header = nullptr;
        QGridLayout* Body = nullptr;
    };
    TPanel Make_Panel(const char* name, const char* headerName);
    void Order_TAB_Panels();
    QList<QLineEdit*> Add_Octet_Row(QGridLayout* grid, int row, QWidget* lead, const char* key, int firstHint);
    QLineEdit* Add_Field_Row(QGridLayout* grid, int row, int captionNo, const char* name, const char* key, int hintNo);
    QLabel* Caption(const char* name, int captionNo);
    void Bind(QWidget* control, int captionNo, int hintNo);

    void FormShow();
    void Btn_OKClick();
    bool Controllo_Dati(const TParGen& set);
    TParGen Entries() const;
    void Show_Entries(const TParGen& set);

    TAppContext& Ctx;
    QLabel* L_SW_Code = nullptr;
    QLabel* L_SW_Desc = nullptr;
    QScrollArea* Panel_Group = nullptr;
    TPanel Panel_IEC61850_Client;
    TPanel Panel_EtherNetIP;
    QCheckBox* CB_IEC61850_Client_En_GAT = nullptr;
    QCheckBox* CB_EtherNetIP_GAT = nullptr;
    QLineEdit* E_EtherNetIP_TunnelPort = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    // The entry field of each key of the set, in file order; the two switches have none.
    std::array<QLineEdit*, TParGen::Count> Fields{};

    // Which texts Set_Lang puts on which control: a caption and a hint (-1: none).
    struct TText_Binding {
        QWidget* Control;
        int Caption_No;
        int Hint_No;
    };
    std::vector<TText_Binding> Bindings;
};
