#include "TFParGen.h"
#include "OctetFields.h"
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int Window_Width = 460;
const QString Tunnel_Port = QStringLiteral("44818");
} // namespace

TFParGen::TFParGen(TAppContext& context, QWidget* parent)
    : QDialog(parent)
    , Ctx(context)
{
    setObjectName(QStringLiteral("TFParGen"));
    auto* top = new QVBoxLayout(this);
    L_SW_Code = Make_SW_Code_Label(this);
    L_SW_Desc = Named(new QLabel(this), "L_SW_Desc");
    Bind(this, 400, -1);
    Bind(L_SW_Desc, 401, -1);
    top->addWidget(L_SW_Code);
    top->addWidget(L_SW_Desc);

    Panel_Group = Named(new QScrollArea(this), "Panel_Group");
    Panel_Group->setWidgetResizable(true);
    Panel_Group->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(Panel_Group);
    auto* stack = new QVBoxLayout(content);
    Panel_IEC61850_Client = Make_Panel("Panel_IEC61850_Client", "Btn_Panel_IEC61850_Client");
    Panel_EtherNetIP = Make_Panel("Panel_EtherNetIP", "Btn_Panel_EtherNetIP");
    stack->addWidget(Panel_IEC61850_Client.Frame);
    stack->addWidget(Panel_EtherNetIP.Frame);
    stack->addStretch(1);
    Panel_Group->setWidget(content);
    top->addWidget(Panel_Group, 1);

    QGridLayout* g = Panel_IEC61850_Client.Body;
    QList<QLineEdit*> chain;
    chain << Add_Octet_Row(g, 0, Caption("L_IEC61850_Client_IP", 407), "IEC61850_Client_IP", 408);
    chain << Add_Octet_Row(g, 1, Caption("L_IEC61850_Client_SM", 412), "IEC61850_Client_SM", 413);
    CB_IEC61850_Client_En_GAT = Named(new QCheckBox, "CB_IEC61850_Client_En_GAT");
    Bind(CB_IEC61850_Client_En_GAT, 417, 418);
    chain << Add_Octet_Row(g, 2, CB_IEC61850_Client_En_GAT, "IEC61850_Client_GAT", 419);
    Chain_Octet_Fields(chain);
    QLineEdit* vlan = Add_Field_Row(g, 3, 423, "E_IEC61850_Client_VLAN", "IEC61850_Client_VLAN", 424);
    // Digits only, at most 8; a text loaded from the file is shown as it is.
    vlan->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,8}")), vlan));
    Add_Field_Row(g, 4, 425, "E_IEC61850_Client_AppID", "IEC61850_Client_Application_ID", 426);

    g = Panel_EtherNetIP.Body;
    chain.clear();
    chain << Add_Octet_Row(g, 0, Caption("L_EtherNetIP_IP", 527), "EtherNetIP_IP", 528);
    chain << Add_Octet_Row(g, 1, Caption("L_EtherNetIP_SM", 532), "EtherNetIP_SM", 533);
    CB_EtherNetIP_GAT = Named(new QCheckBox, "CB_EtherNetIP_GAT");
    Bind(CB_EtherNetIP_GAT, 537, 538);
    chain << Add_Octet_Row(g, 2, CB_EtherNetIP_GAT, "EtherNetIP_GAT", 539);
    Chain_Octet_Fields(chain);
    // The port is fixed: shown, never edited and not part of the set.
    E_EtherNetIP_TunnelPort = Add_Field_Row(g, 3, 543, "E_EtherNetIP_TunnelPort", nullptr, 544);
    E_EtherNetIP_TunnelPort->setText(Tunnel_Port);
    E_EtherNetIP_TunnelPort->setEnabled(false);
    Add_Field_Row(g, 4, 545, "E_EtherNetIP_NByte_In", "EtherNetIP_NB_Input", 546);
    Add_Field_Row(g, 5, 547, "E_EtherNetIP_NByte_Out", "EtherNetIP_NB_Output", 548);

    top->addLayout(Make_OK_Cancel_Row(this, Btn_OK, Btn_Cancel));
    Btn_OK->setAutoDefault(false);
    Btn_Cancel->setAutoDefault(false);
    Bind(Btn_OK, 402, 404);
    Bind(Btn_Cancel, 403, 405);
    connect(Btn_OK, &QPushButton::clicked, this, &TFParGen::Btn_OKClick);

    // Only the height can change.
    setFixedWidth(Window_Width);
    resize(Window_Width, 700);
    Order_TAB_Panels();
    Set_Lang();
}

TFParGen::TPanel TFParGen::Make_Panel(const char* name, const char* headerName)
{
    TPanel panel;
    panel.Frame = Named(new QWidget, name);
    auto* column = new QVBoxLayout(panel.Frame);
    column->setContentsMargins(0, 0, 0, 0);
    panel.Header = Named(new QToolButton(panel.Frame), headerName);
    panel.Header->setCheckable(true);
    panel.Header->setChecked(true);
    panel.Header->setArrowType(Qt::DownArrow);
    panel.Header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    panel.Header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* body = new QWidget(panel.Frame);
    panel.Body = new QGridLayout(body);
    // The body ends a little below its last control; both panels align their fields.
    panel.Body->setContentsMargins(8, 4, 8, 12);
    panel.Body->setColumnMinimumWidth(0, 150);
    column->addWidget(panel.Header);
    column->addWidget(body);
    QToolButton* header = panel.Header;
    connect(header, &QToolButton::toggled, body, [header, body](bool expanded) {
        body->setVisible(expanded);
        header->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    });
    return panel;
}

void TFParGen::Order_TAB_Panels()
{
    // The headings are composed once, in the language of the start.
    Panel_IEC61850_Client.Header->setText(QStringLiteral("1. ") + Ctx.Texts[406]);
    Panel_EtherNetIP.Header->setText(QStringLiteral("2. ") + Ctx.Texts[526]);
    setTabOrder(Panel_IEC61850_Client.Header, Panel_EtherNetIP.Header);
}

QList<QLineEdit*> TFParGen::Add_Octet_Row(QGridLayout* grid, int row, QWidget* lead, const char* key, int firstHint)
{
    grid->addWidget(lead, row, 0);
    QList<QLineEdit*> octets;
    for (int i = 1; i <= 4; ++i) {
        const QByteArray fieldKey = QByteArray(key) + QByteArray::number(i);
        auto* field = Named(new QLineEdit, QByteArray("E_" + fieldKey).constData());
        Fields[static_cast<size_t>(TParGen::Key_Index(fieldKey.constData()))] = field;
        Bind(field, -1, firstHint + i - 1);
        grid->addWidget(field, row, i);
        octets << field;
    }
    return octets;
}

QLineEdit* TFParGen::Add_Field_Row(QGridLayout* grid, int row, int captionNo, const char* name, const char* key, int hintNo)
{
    auto* field = Named(new QLineEdit, name);
    if (key)
        Fields[static_cast<size_t>(TParGen::Key_Index(key))] = field;
    Bind(field, -1, hintNo);
    grid->addWidget(Caption(QByteArray("L_" + QByteArray(name + 2)).constData(), captionNo), row, 0);
    grid->addWidget(field, row, 1, 1, 4);
    return field;
}

QLabel* TFParGen::Caption(const char* name, int captionNo)
{
    auto* label = Named(new QLabel, name);
    Bind(label, captionNo, -1);
    return label;
}

void TFParGen::Bind(QWidget* control, int captionNo, int hintNo)
{
    Bindings.push_back({control, captionNo, hintNo});
}

void TFParGen::Set_Lang()
{
    for (const TText_Binding& b : Bindings) {
        if (b.Caption_No >= 0) {
            const QString& text = Ctx.Texts[b.Caption_No];
            if (auto* label = qobject_cast<QLabel*>(b.Control))
                label->setText(text);
            else if (auto* button = qobject_cast<QAbstractButton*>(b.Control))
                button->setText(text);
            else
                b.Control->setWindowTitle(text);
        }
        if (b.Hint_No >= 0)
            b.Control->setToolTip(Ctx.Texts[b.Hint_No]);
    }
}

void TFParGen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFParGen::FormShow()
{
    TParGen set;
    const TResult read = Read_ParGen(Ctx.State.ParGen_File, set);
    Show_Entries(set);
    // A broken file is reported once the window is up; it is replaced only by a confirmed OK.
    if (!read.Ok)
        QMetaObject::invokeMethod(this, [this, read] { Ctx.Report(read); }, Qt::QueuedConnection);
}

TParGen TFParGen::Entries() const
{
    TParGen set;
    for (size_t i = 0; i < Fields.size(); ++i)
        if (Fields[i])
            set.Values[i] = Fields[i]->text();
    set["IEC61850_Client_En_GAT"] = CB_IEC61850_Client_En_GAT->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    set["EtherNetIP_EN_GAT"] = CB_EtherNetIP_GAT->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return set;
}

void TFParGen::Show_Entries(const TParGen& set)
{
    for (size_t i = 0; i < Fields.size(); ++i)
        if (Fields[i])
            Fields[i]->setText(set.Values[i]);
    CB_IEC61850_Client_En_GAT->setChecked(set["IEC61850_Client_En_GAT"] == QStringLiteral("1"));
    CB_EtherNetIP_GAT->setChecked(set["EtherNetIP_EN_GAT"] == QStringLiteral("1"));
}

bool TFParGen::Controllo_Dati(const TParGen& set)
{
    return Ctx.Report(Check_ParGen(set));
}

void TFParGen::Btn_OKClick()
{
    const TParGen set = Entries();
    if (!Controllo_Dati(set))
        return;
    // A failed write keeps the old file and the window open with the entries as they are.
    if (!Ctx.Report(Write_ParGen(Ctx.State.ParGen_File, set)))
        return;
    accept();
}
