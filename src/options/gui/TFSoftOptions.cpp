#include "TFSoftOptions.h"
#include "Constants.h"
#include "LanguageList.h"
#include "VersionCheck.h"
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

TFSoftOptions::TFSoftOptions(TAppContext& context, std::function<void()> changeLanguage, QWidget* parent)
    : QDialog(parent)
    , Ctx(context)
    , Change_Language(std::move(changeLanguage))
{
    setObjectName(QStringLiteral("TFSoftOptions"));
    Build_Layout();
    FormCreate();
}

void TFSoftOptions::FormCreate()
{
    Language_In_Use = Ctx.State.Language_Name;
    Create_Lang_List();
    Set_Lang();
}

void TFSoftOptions::Build_Layout()
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    auto* top = new QVBoxLayout(this);
    L_SW_Code = Make_SW_Code_Label(this);
    L_SW_Desc = Named(new QLabel(this), "L_SW_Desc");
    top->addWidget(L_SW_Code);
    top->addWidget(L_SW_Desc);

    PC_Options = Named(new QTabWidget(this), "PC_Options");
    top->addWidget(PC_Options);

    // Language page: six slots, 1 to 3 down the left column and 4 to 6 down the right one.
    TS_Language = Named(new QWidget, "TS_Language");
    auto* language = new QVBoxLayout(TS_Language);
    L_Sel_Lang = Named(new QLabel(TS_Language), "L_Sel_Lang");
    language->addWidget(L_Sel_Lang);
    auto* slotGrid = new QGridLayout;
    static const char* const pictureNames[6] = {"I_L1", "I_L2", "I_L3", "I_L4", "I_L5", "I_L6"};
    static const char* const labelNames[6] = {"L_L1", "L_L2", "L_L3", "L_L4", "L_L5", "L_L6"};
    for (int i = 0; i < 6; ++i) {
        I_L[i] = Named(new QLabel(TS_Language), pictureNames[i]);
        I_L[i]->setFixedSize(48, 48);
        I_L[i]->setScaledContents(true);
        QSizePolicy keepPlace = I_L[i]->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        I_L[i]->setSizePolicy(keepPlace);
        L_L[i] = Named(new QLabel(TS_Language), labelNames[i]);
        for (QLabel* control : {I_L[i], L_L[i]}) {
            control->setCursor(Qt::PointingHandCursor);
            control->installEventFilter(this);
        }
        const int row = i % 3, column = (i / 3) * 2;
        slotGrid->addWidget(I_L[i], row, column);
        slotGrid->addWidget(L_L[i], row, column + 1);
    }
    slotGrid->setColumnStretch(1, 1);
    slotGrid->setColumnStretch(3, 1);
    language->addLayout(slotGrid);
    auto* pages = new QHBoxLayout;
    Btn_Prev = Named(new QPushButton(TS_Language), "Btn_Prev");
    Btn_Next = Named(new QPushButton(TS_Language), "Btn_Next");
    L_Page_Lang = Named(new QLabel(TS_Language), "L_Page_Lang");
    L_Page_Lang->setAlignment(Qt::AlignCenter);
    for (QPushButton* b : {Btn_Prev, Btn_Next}) {
        QSizePolicy keepPlace = b->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        b->setSizePolicy(keepPlace);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, b] { Btn_NextClick(b); });
    }
    pages->addWidget(Btn_Prev);
    pages->addWidget(L_Page_Lang, 1);
    pages->addWidget(Btn_Next);
    language->addLayout(pages);
    PC_Options->addTab(TS_Language, QString());

    TS_Con_Options = Named(new QWidget, "TS_Con_Options");
    auto* connection = new QVBoxLayout(TS_Con_Options);
    CB_En_Con = Named(new QCheckBox(TS_Con_Options), "CB_En_Con");
    CB_Update = Named(new QCheckBox(TS_Con_Options), "CB_Update");
    Btn_Check_Update = Named(new QPushButton(TS_Con_Options), "Btn_Check_Update");
    Btn_Check_Update->setAutoDefault(false);
    LL_Check_Update = Named(new QLabel(TS_Con_Options), "LL_Check_Update");
    LL_Check_Update->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connection->addWidget(CB_En_Con);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(24);
    indented->addWidget(CB_Update);
    connection->addLayout(indented);
    auto* check = new QHBoxLayout;
    check->addWidget(Btn_Check_Update);
    check->addWidget(LL_Check_Update);
    check->addStretch(1);
    connection->addLayout(check);
    connection->addStretch(1);
    PC_Options->addTab(TS_Con_Options, QString());

    TS_Soft_Settings = Named(new QWidget, "TS_Soft_Settings");
    auto* settings = new QVBoxLayout(TS_Soft_Settings);
    CB_Soft_Set_Jump_Table = Named(new QCheckBox(TS_Soft_Settings), "CB_Soft_Set_Jump_Table");
    CB_DoubleClick_Auto_Size = Named(new QCheckBox(TS_Soft_Settings), "CB_DoubleClick_Auto_Size");
    settings->addWidget(CB_Soft_Set_Jump_Table);
    settings->addWidget(CB_DoubleClick_Auto_Size);
    settings->addStretch(1);
    PC_Options->addTab(TS_Soft_Settings, QString());

    for (QCheckBox* box : {CB_En_Con, CB_Update, CB_Soft_Set_Jump_Table, CB_DoubleClick_Auto_Size})
        connect(box, &QCheckBox::toggled, this, &TFSoftOptions::CB_En_ConClick);
    connect(Btn_Check_Update, &QPushButton::clicked, this, &TFSoftOptions::Btn_Check_UpdateClick);
    connect(LL_Check_Update, &QLabel::linkActivated, this, &TFSoftOptions::LL_Check_UpdateLinkClick);

    top->addLayout(Make_OK_Cancel_Row(this, Btn_OK, Btn_Cancel));
    connect(Btn_OK, &QPushButton::clicked, this, &TFSoftOptions::Btn_OKClick);

    setFixedSize(560, 420);
}

void TFSoftOptions::Set_Lang()
{
    const TText_Table& t = Ctx.Texts;
    setWindowTitle(t[300]);
    L_SW_Desc->setText(t[301]);
    PC_Options->setTabText(PC_Options->indexOf(TS_Language), t[302]);
    PC_Options->setTabText(PC_Options->indexOf(TS_Con_Options), t[303]);
    PC_Options->setTabText(PC_Options->indexOf(TS_Soft_Settings), t[319]);
    Btn_Prev->setText(t[307]);
    Btn_Next->setText(t[308]);
    CB_En_Con->setText(t[309]);
    CB_Update->setText(t[310]);
    Btn_Check_Update->setText(t[311]);
    Btn_OK->setText(t[312]);
    Btn_Cancel->setText(t[313]);
    CB_Soft_Set_Jump_Table->setText(t[320]);
    CB_DoubleClick_Auto_Size->setText(t[321]);
    Compose_Page_Texts();
    Compose_Check_Result();
}

void TFSoftOptions::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFSoftOptions::FormShow()
{
    Language_In_Use = Ctx.State.Language_Name;
    Create_Lang_List();
    Update_CheckBox();
    Update_Found.reset();
    LL_Check_Update->hide();
    PC_Options->setCurrentWidget(TS_Language);
    CB_En_Con->setChecked(Ctx.State.Enable_Internet);
    CB_Update->setChecked(Ctx.State.Enable_Update);
    CB_Soft_Set_Jump_Table->setChecked(Ctx.State.Enable_Jump_Field_Tables);
    CB_DoubleClick_Auto_Size->setChecked(Ctx.State.Double_Click_Auto_Size);
}

void TFSoftOptions::Create_Lang_List()
{
    SL_Languages = ::Create_Lang_List(Ctx.State.Language_Folder);
    Show_Page = 1;
    Update_Lang_Page(1);
}

void TFSoftOptions::Update_Lang_Page(int Num_Page)
{
    const TLang_Page page = Lang_Page(SL_Languages, Num_Page);
    Show_Page = page.Page;
    Compose_Page_Texts();
    Btn_Prev->setVisible(page.Show_Prev);
    Btn_Next->setVisible(page.Show_Next);
    for (int k = 0; k < TLang_Page::Slots; ++k) {
        const bool used = k < page.Languages.size();
        L_L[k]->setVisible(used);
        I_L[k]->setVisible(used);
        if (!used)
            continue;
        const QString language = Language_Of(page.Languages[k]);
        L_L[k]->setText(language);
        const QString picture = Flag_Picture(Ctx.State.Language_Folder, language);
        const QPixmap flag = picture.isEmpty() ? QPixmap() : QPixmap(picture);
        I_L[k]->setPixmap(flag);
        I_L[k]->setVisible(!flag.isNull());
    }
}

void TFSoftOptions::Compose_Page_Texts()
{
    const TText_Table& t = Ctx.Texts;
    const TLang_Page page = Lang_Page(SL_Languages, Show_Page);
    L_Sel_Lang->setText(t[304] + Language_In_Use);
    L_Page_Lang->setText(t[305] + QString::number(page.Page) + t[306] + QString::number(page.Page_Count));
}

void TFSoftOptions::Compose_Check_Result()
{
    if (!Update_Found)
        return;
    if (*Update_Found) {
        LL_Check_Update->setTextFormat(Qt::RichText);
        LL_Check_Update->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(Maker_Download_Page(), Ctx.Texts[314].toHtmlEscaped()));
    } else {
        LL_Check_Update->setTextFormat(Qt::PlainText);
        LL_Check_Update->setText(Ctx.Texts[315]);
    }
}

void TFSoftOptions::Btn_NextClick(QPushButton* sender)
{
    const int count = Lang_Page(SL_Languages, Show_Page).Page_Count;
    if (sender == Btn_Next && count >= Show_Page + 1)
        ++Show_Page;
    else if (sender == Btn_Prev && Show_Page >= 2)
        --Show_Page;
    Update_Lang_Page(Show_Page);
}

bool TFSoftOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        for (int k = 0; k < TLang_Page::Slots; ++k)
            if (watched == I_L[k] || watched == L_L[k]) {
                LangClick(k + 1);
                return true;
            }
    return QDialog::eventFilter(watched, event);
}

void TFSoftOptions::LangClick(int slot)
{
    const int position = Lang_Position(Show_Page, slot);
    if (position >= SL_Languages.size())
        return;
    const QString language = Language_Of(SL_Languages[position]);
    const TText_Table& t = Ctx.Texts;
    if (!Ctx.Platform.Messages->Question_Yes_No(t[316] + Language_In_Use + t[317] + language + t[318]))
        return;
    Language_In_Use = language;
    // The program state keeps its language until OK; only the texts change now.
    QString loaded = language;
    Ctx.Texts.Load_Language(Ctx.State.Language_Folder, loaded);
    Change_Language();
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::Update_CheckBox()
{
    const bool updateEnabled = CB_En_Con->isChecked();
    CB_Update->setEnabled(updateEnabled);
    Btn_Check_Update->setEnabled(updateEnabled && CB_Update->isChecked());
}

void TFSoftOptions::CB_En_ConClick() { Update_CheckBox(); }

void TFSoftOptions::Btn_Check_UpdateClick()
{
    Update_Found = Check_Version(*Ctx.Platform.Http, Maker_Version_Service());
    Compose_Check_Result();
    LL_Check_Update->show();
}

void TFSoftOptions::LL_Check_UpdateLinkClick(const QString& link) { Ctx.Platform.Shell->Open_Url(link); }

void TFSoftOptions::Btn_OKClick()
{
    TProgramState& state = Ctx.State;
    state.Language_Name = Language_In_Use;
    state.Enable_Internet = CB_En_Con->isChecked();
    state.Enable_Update = CB_Update->isChecked(); // also when the box is disabled
    state.Enable_Jump_Field_Tables = CB_Soft_Set_Jump_Table->isChecked();
    state.Double_Click_Auto_Size = CB_DoubleClick_Auto_Size->isChecked();
    // The main window saves the settings and starts or stops its timer when OK returns.
    accept();
}
