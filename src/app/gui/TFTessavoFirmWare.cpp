#include "TFTessavoFirmWare.h"
#include "Common.h"
#include "Constants.h"
#include "Files.h"
#include "ImageBuild.h"
#include "Settings.h"
#include "TFAbout.h"
#include "TFBoot.h"
#include "TFIEC_61850_Access.h"
#include "TFNew_Project.h"
#include "TFOpenConf.h"
#include "TFParGen.h"
#include "TFSoftOptions.h"
#include "VersionCheck.h"
#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

TFTessavoFirmWare::TFTessavoFirmWare(TAppContext& context, const QString& programFolder)
    : Ctx(context)
    , Device_Image(std::make_unique<Image::TDevice_Image>())
{
    setObjectName(QStringLiteral("TFTessavoFirmWare"));
    FormCreate(programFolder);
    Create_Windows();
}

TFTessavoFirmWare::~TFTessavoFirmWare() = default;

void TFTessavoFirmWare::FormCreate(const QString& programFolder)
{
    TProgramState& state = Ctx.State;
    Ctx.Texts.Default_Texts();
    Build_Layout();

    state.Set_Program_Folder(programFolder);
    state.Project_Name.clear();
    state.Last_Read_Back = true;
    Read_Settings(Settings_File(state), state);

    Timer_Update = new QTimer(this);
    Timer_Update->setInterval(60000);
    connect(Timer_Update, &QTimer::timeout, this, &TFTessavoFirmWare::Timer_UpdateTimer);
    Update_Timer_State();

    setWindowTitle(Main_Window_Title());
    L_SW_Code->setText(SoftwareCode);
    L_SW_Desc->setText(SoftwareDescription);

    Ctx.Texts.Load_Language(state.Language_Folder, state.Language_Name);

    // A remembered configuration whose folder is gone stays remembered but inactive,
    // so the next save writes its name back unchanged.
    const QString remembered = Join_Path(state.Projects_Folder, state.Project_Name);
    state.Project_Folder = !state.Project_Name.isEmpty() && QFileInfo(remembered).isDir() ? remembered : QString();

    Set_Lang();
    Set_Files();
}

void TFTessavoFirmWare::Create_Windows()
{
    // In this order: each window takes its texts from the table when it is created.
    FNew_Project = new TFNew_Project(Ctx, this);
    FOpenConf = new TFOpenConf(Ctx, this);
    FAbout = new TFAbout(Ctx, this);
    FSoftOptions = new TFSoftOptions(Ctx, [this] { Change_Language(); }, this);
    FParGen = new TFParGen(Ctx, this);
    FIEC_61850_Access = new TFIEC_61850_Access(Ctx, this);
    FBoot = new TFBoot(Ctx, this);
}

void TFTessavoFirmWare::Build_Layout()
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* top = new QVBoxLayout(this);
    L_SW_Code = Make_SW_Code_Label(this);
    L_SW_Desc = Named(new QLabel(this), "L_SW_Desc");
    top->addWidget(L_SW_Code);
    top->addWidget(L_SW_Desc);

    auto* frame = Named(new QFrame(this), "Frame_Begin");
    frame->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QVBoxLayout(frame);
    L_Begin = Named(new QLabel(frame), "L_Begin");
    L_Name_Conf = Named(new QLabel(frame), "L_Name_Conf");
    L_Name_Conf_L2 = Named(new QLabel(frame), "L_Name_Conf_L2");
    QFont bold = L_Begin->font();
    bold.setBold(true);
    L_Begin->setFont(bold);
    L_Name_Conf_L2->setFont(bold);
    frameLayout->addWidget(L_Begin);
    frameLayout->addWidget(L_Name_Conf);
    frameLayout->addWidget(L_Name_Conf_L2);
    top->addWidget(frame);

    auto button = [this](const char* name) {
        auto* b = Named(new QPushButton(this), name);
        b->setMinimumSize(170, 36);
        connect(b, &QPushButton::clicked, this, [this, b] { Btn_Click(b); });
        return b;
    };
    Btn_New = button("Btn_New");
    Btn_Open = button("Btn_Open");
    Btn_Prm_Gen = button("Btn_Prm_Gen");
    Btn_IEC61850_Client = button("Btn_IEC61850_Client");
    Btn_CreateBin = button("Btn_CreateBin");

    auto* steps = new QGridLayout;
    static const char* const stepNames[4] = {"L_Step_1", "L_Step_2", "L_Step_3", "L_Step_4"};
    for (int i = 0; i < 4; ++i) {
        L_Step[i] = Named(new QLabel(this), stepNames[i]);
        L_Step[i]->setFont(bold);
        L_Step[i]->setMinimumHeight(40);
        steps->addWidget(L_Step[i], i, 0);
    }
    steps->addWidget(Btn_New, 0, 1);
    steps->addWidget(Btn_Open, 0, 2);
    steps->addWidget(Btn_Prm_Gen, 1, 1);
    steps->addWidget(Btn_IEC61850_Client, 2, 1);
    steps->addWidget(Btn_CreateBin, 3, 1);

    L_Maker = Named(new QLabel(this), "L_Maker");
    L_Maker->setText(QStringLiteral("<a href=\"home\">%1</a>").arg(MakerWebHost));
    L_Maker->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    L_Maker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(L_Maker, &QLabel::linkActivated, this, [this] { Ctx.Platform.Shell->Open_Url(Maker_Home_Page()); });
    steps->addWidget(L_Maker, 3, 3);
    steps->setColumnStretch(3, 1);
    top->addLayout(steps);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    top->addWidget(line);

    auto* bottom = new QHBoxLayout;
    LL_Update = Named(new QLabel(this), "LL_Update");
    LL_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    LL_Update->hide();
    connect(LL_Update, &QLabel::linkActivated, this, [this](const QString& link) { Ctx.Platform.Shell->Open_Url(link); });
    bottom->addWidget(LL_Update);
    bottom->addStretch(1);
    auto iconButton = [&](const char* name, QStyle::StandardPixmap icon) {
        auto* b = button(name);
        b->setIcon(style()->standardIcon(icon));
        b->setIconSize(QSize(24, 24));
        b->setFixedSize(40, 40);
        bottom->addWidget(b);
        return b;
    };
    Btn_Info = iconButton("Btn_Info", QStyle::SP_MessageBoxInformation);
    Btn_Opz = iconButton("Btn_Opz", QStyle::SP_FileDialogDetailedView);
    Btn_Close = iconButton("Btn_Close", QStyle::SP_DialogCloseButton);
    top->addLayout(bottom);

    setFixedSize(620, 460);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFTessavoFirmWare::Set_Lang()
{
    const TText_Table& t = Ctx.Texts;
    L_Begin->setText(t[0]);
    for (int i = 0; i < 4; ++i)
        L_Step[i]->setText(t[1 + i]);
    Btn_New->setText(t[15]);
    Btn_New->setToolTip(t[22]);
    Btn_Open->setText(t[16]);
    Btn_Open->setToolTip(t[23]);
    Btn_Prm_Gen->setText(t[20]);
    Btn_Prm_Gen->setToolTip(t[24]);
    Btn_IEC61850_Client->setText(t[21]);
    Btn_IEC61850_Client->setToolTip(t[25]);
    Btn_CreateBin->setText(t[17]);
    Btn_CreateBin->setToolTip(t[26]);
    Btn_Info->setToolTip(t[12]);
    Btn_Opz->setToolTip(t[13]);
    Btn_Close->setToolTip(t[14]);
    LL_Update->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(Maker_Download_Page(), t[19].toHtmlEscaped()));
    Refresh_Frame();
}

void TFTessavoFirmWare::Refresh_Frame()
{
    const bool active = Ctx.State.Configuration_Active();
    L_Name_Conf->setText(Ctx.Texts[active ? 11 : 9]);
    L_Name_Conf_L2->setText(active ? Ctx.State.Project_Name : Ctx.Texts[10]);
}

void TFTessavoFirmWare::Set_Files() { Ctx.State.Set_Files(); }

void TFTessavoFirmWare::Save_Setting()
{
    // A settings file that cannot be written is reported but never keeps the program open.
    Ctx.Report(Write_Settings(Settings_File(Ctx.State), Ctx.State));
}

void TFTessavoFirmWare::Change_Language()
{
    // Every window in a fixed order: main, New, Open, options, update, communication, access.
    Set_Lang();
    FNew_Project->Set_Lang();
    FOpenConf->Set_Lang();
    FSoftOptions->Set_Lang();
    FBoot->Set_Lang();
    FParGen->Set_Lang();
    FIEC_61850_Access->Set_Lang();
}

void TFTessavoFirmWare::Btn_Click(QPushButton* sender)
{
    if (sender == Btn_New)
        Create_New_Project();
    else if (sender == Btn_Open)
        Open_Project();
    else if (sender == Btn_Close)
        close();
    else if (sender == Btn_Info)
        FAbout->exec();
    else if (sender == Btn_Opz) {
        // The options window has written its choices into the program state on OK.
        if (FSoftOptions->exec() == QDialog::Accepted) {
            Save_Setting();
            Update_Timer_State();
        }
    } else if (!Ctx.State.Configuration_Active())
        Ctx.Error(18);
    else if (sender == Btn_Prm_Gen)
        FParGen->exec();
    else if (sender == Btn_IEC61850_Client)
        FIEC_61850_Access->exec();
    else if (sender == Btn_CreateBin)
        Update_Device();
}

void TFTessavoFirmWare::Create_New_Project()
{
    // The dialog makes the new configuration active itself.
    if (FNew_Project->exec() == QDialog::Accepted)
        Refresh_Frame();
}

void TFTessavoFirmWare::Open_Project()
{
    if (FOpenConf->exec() == QDialog::Accepted) {
        Ctx.State.Activate_Project(FOpenConf->Name_Conf);
        Refresh_Frame();
    }
}

void TFTessavoFirmWare::Update_Device()
{
    // The device must never be updated from stale images: a failed build or write ends the step.
    const QChar separator = Get_Decimal_Separator(Ctx.Platform.Locale->Decimal_Separator());
    if (!Ctx.Report(Image::Build_Images(*Device_Image, Ctx.State, separator)))
        return;
    Show_Update_Window();
}

void TFTessavoFirmWare::Show_Update_Window()
{
    FBoot->Form_Type = 1;
    FBoot->exec();
}

void TFTessavoFirmWare::Update_Timer_State()
{
    if (Ctx.State.Enable_Internet && Ctx.State.Enable_Update)
        Timer_Update->start();
    else
        Timer_Update->stop();
}

void TFTessavoFirmWare::Timer_UpdateTimer()
{
    Timer_Update->stop();
    // The check blocks the program for at most the HTTP client's time-out.
    LL_Update->setVisible(Check_Version(*Ctx.Platform.Http, Maker_Version_Service()));
    Timer_Update->setInterval(7200000);
    Timer_Update->start();
}

void TFTessavoFirmWare::closeEvent(QCloseEvent* event)
{
    Save_Setting();
    event->accept();
}
