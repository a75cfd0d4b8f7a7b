#include "TFBoot.h"
#include "Common.h"
#include "Constants.h"
#include "OctetFields.h"
#include "ReachabilityCheck.h"
#include "StartProgram.h"
#include "UpdateDescriptor.h"
#include <QCheckBox>
#include <array>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TFBoot::TFBoot(TAppContext& context, QWidget* parent)
    : QDialog(parent)
    , Ctx(context)
{
    setObjectName(QStringLiteral("TFBoot"));
    Build_Layout();
    Set_Lang();
    // The four bands stacked: 449 wide, as high as they need.
    setFixedSize(449, sizeHint().height());
    connect(Btn_Update, &QPushButton::clicked, this, &TFBoot::Btn_UpdateClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TFBoot::reject);
}

void TFBoot::Build_Layout()
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    auto* top = new QVBoxLayout(this);
    auto band = [this, top](const char* name) {
        auto* frame = Named(new QFrame(this), name);
        frame->setFrameShape(QFrame::StyledPanel);
        top->addWidget(frame);
        return frame;
    };

    QFrame* title = band("P_Title");
    auto* titleLayout = new QVBoxLayout(title);
    L_SW_Code = Make_SW_Code_Label(title);
    L_SW_Desc = Named(new QLabel(title), "L_SW_Desc");
    titleLayout->addWidget(L_SW_Code);
    titleLayout->addWidget(L_SW_Desc);

    QFrame* addressPanel = band("P_IP_Address");
    auto* addressLayout = new QHBoxLayout(addressPanel);
    L_IP_Address = Named(new QLabel(addressPanel), "L_IP_Address");
    addressLayout->addWidget(L_IP_Address);
    addressLayout->addStretch(1);
    static const char* const names[4] = {"E_IP1", "E_IP2", "E_IP3", "E_IP4"};
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            addressLayout->addWidget(new QLabel(QStringLiteral("."), addressPanel));
        E_IP[i] = Named(new QLineEdit(QStringLiteral("0"), addressPanel), names[i]);
        E_IP[i]->setFixedWidth(40);
        E_IP[i]->setAlignment(Qt::AlignCenter);
        addressLayout->addWidget(E_IP[i]);
    }
    Chain_Octet_Fields({E_IP[0], E_IP[1], E_IP[2], E_IP[3]});

    QFrame* optionsPanel = band("P_Update_Options");
    auto* optionsLayout = new QGridLayout(optionsPanel);
    L_Update_Options = Named(new QLabel(optionsPanel), "L_Update_Options");
    CB_Update_Options = Named(new QComboBox(optionsPanel), "CB_Update_Options");
    CB_Update_Option_Read_Back = Named(new QCheckBox(optionsPanel), "CB_Update_Option_Read_Back");
    optionsLayout->addWidget(L_Update_Options, 0, 0, 1, 2);
    optionsLayout->addWidget(CB_Update_Options, 1, 0);
    optionsLayout->addWidget(CB_Update_Option_Read_Back, 1, 1);
    optionsLayout->setColumnStretch(0, 1);

    QFrame* buttons = band("P_Buttons");
    auto* buttonsLayout = new QHBoxLayout(buttons);
    Btn_Cancel = Named(new QPushButton(buttons), "Btn_Cancel");
    Btn_Update = Named(new QPushButton(buttons), "Btn_Update");
    Btn_Update->setAutoDefault(false);
    Btn_Cancel->setAutoDefault(false);
    buttonsLayout->addWidget(Btn_Cancel);
    buttonsLayout->addStretch(1);
    buttonsLayout->addWidget(Btn_Update);

    // Tab order: address panel, options panel, buttons.
    QWidget* order[] = {E_IP[0], E_IP[1], E_IP[2], E_IP[3], CB_Update_Options, CB_Update_Option_Read_Back, Btn_Cancel, Btn_Update};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

}

void TFBoot::Set_Lang()
{
    const TText_Table& t = Ctx.Texts;
    setWindowTitle(t[1002]);
    L_SW_Desc->setText(t[1003]);
    L_IP_Address->setText(t[1006]);
    for (int i = 0; i < 4; ++i)
        E_IP[i]->setToolTip(t[1021 + i]);
    L_Update_Options->setText(t[1014]);
    CB_Update_Options->clear();
    CB_Update_Options->addItems({t[1015], t[1016], t[1017]});
    CB_Update_Options->setCurrentIndex(0);
    CB_Update_Options->setToolTip(t[1032]);
    CB_Update_Option_Read_Back->setText(t[1018]);
    CB_Update_Option_Read_Back->setToolTip(t[1033]);
    Btn_Cancel->setText(t[1019]);
    Btn_Cancel->setToolTip(t[1034]);
    Btn_Update->setText(t[1020]);
    Btn_Update->setToolTip(t[1035]);
}

void TFBoot::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFBoot::FormShow()
{
    Set_Lang();
    L_SW_Code->setText(SoftwareCode);
    std::array<QString, 4> parts;
    if (Split_IP_Address(Ctx.State.Last_IP_Address, parts))
        for (int i = 0; i < 4; ++i)
            E_IP[i]->setText(parts[static_cast<size_t>(i)]);
    CB_Update_Options->setCurrentIndex(Ctx.State.Last_Update_Option);
    CB_Update_Option_Read_Back->setChecked(Ctx.State.Last_Read_Back);
    if (E_IP[0]->isEnabled())
        E_IP[0]->setFocus(Qt::OtherFocusReason);
}

bool TFBoot::Send_Ping(const QString& address, QString& error)
{
    return ::Send_Ping(*Ctx.Platform.Icmp_Echo, *Ctx.Platform.Clock, address, ping_res,
        [] { QCoreApplication::processEvents(); }, error);
}

void TFBoot::Btn_UpdateClick()
{
    const QString address = QStringList{E_IP[0]->text(), E_IP[1]->text(), E_IP[2]->text(), E_IP[3]->text()}.join(u'.');
    // The check processes window messages: no second check may start inside this one.
    Btn_Update->setEnabled(false);
    QString why;
    const bool answered = Send_Ping(address, why);
    Btn_Update->setEnabled(true);
    // Closed while the check ran: the engineer has left, nothing is stored or started.
    if (!isVisible())
        return;
    if (!answered) {
        if (ping_res == Ping_Not_Answered)
            Ctx.Platform.Messages->Warning(Ctx.Texts[1036]);
        else
            Ctx.Platform.Messages->Error(why.isEmpty() ? Ctx.Texts[1037] : Ctx.Texts[1037] + u'\n' + why);
        return;
    }

    TProgramState& state = Ctx.State;
    state.Last_IP_Address = address;
    state.Last_Update_Option = CB_Update_Options->currentIndex();
    state.Last_Read_Back = CB_Update_Option_Read_Back->isChecked();
    const TUpdate_Request request{address, state.Last_Update_Option, state.Last_Read_Back, state.Master_Folder, state.Project_Folder};
    // Never start the updater on an old descriptor, which may name another project.
    if (!Ctx.Report(Compile_XML_Parameter_New_Boot(request, state.Program_Folder)))
        return;
    Ctx.Report(Start_Program(*Ctx.Platform.Process_Launcher, *Ctx.Platform.Clock, Updater_Program(state.Program_Folder), false));
}
