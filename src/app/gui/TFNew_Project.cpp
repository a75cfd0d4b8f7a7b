#include "TFNew_Project.h"
#include "Files.h"
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TFNew_Project::TFNew_Project(TAppContext& context, QWidget* parent)
    : QDialog(parent)
    , Ctx(context)
{
    setObjectName(QStringLiteral("TFNew_Project"));
    auto* top = new QVBoxLayout(this);
    L_SW_Code = Make_SW_Code_Label(this);
    L_SW_Desc = Named(new QLabel(this), "L_SW_Desc");
    Label1 = Named(new QLabel(this), "Label1");
    E_New_Proj = Named(new QLineEdit(this), "E_New_Proj");
    top->addWidget(L_SW_Code);
    top->addWidget(L_SW_Desc);
    top->addSpacing(12);
    top->addWidget(Label1);
    top->addWidget(E_New_Proj);
    top->addStretch(1);

    top->addLayout(Make_OK_Cancel_Row(this, Btn_OK, Btn_Cancel));
    // Enter in the name field presses OK.
    Btn_OK->setDefault(true);
    connect(Btn_OK, &QPushButton::clicked, this, &TFNew_Project::Btn_OKClick);
    resize(420, 200);

    Set_Lang();
}

void TFNew_Project::Set_Lang()
{
    const TText_Table& t = Ctx.Texts;
    setWindowTitle(t[100]);
    L_SW_Desc->setText(t[101]);
    Label1->setText(t[102]);
    E_New_Proj->setToolTip(t[108]);
    Btn_OK->setText(t[103]);
    Btn_OK->setToolTip(t[109]);
    Btn_Cancel->setText(t[104]);
    Btn_Cancel->setToolTip(t[110]);
}

void TFNew_Project::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFNew_Project::FormShow()
{
    E_New_Proj->clear();
    E_New_Proj->setFocus();
}

void TFNew_Project::Btn_OKClick()
{
    // The name as typed, blanks included: whatever the file system takes as a folder name.
    const QString name = E_New_Proj->text();
    if (name.isEmpty()) {
        Ctx.Error(107);
        return;
    }
    const QString folder = Join_Path(Ctx.State.Projects_Folder, name);
    // A name that is a path (with a separator, or "." / "..") is no folder name: it would
    // put the configuration somewhere other than a folder of its own under PROJECTS.
    const bool is_Path = name.contains(u'/') || name.contains(QDir::separator()) || name == QLatin1String(".") || name == QLatin1String("..");
    if (!is_Path && QFileInfo(folder).isDir()) {
        Ctx.Error(106);
        return;
    }
    if (is_Path || !QDir().mkdir(folder)) {
        Ctx.Error(105);
        return;
    }
    // A bin folder that cannot be made is not reported: the image build reports its own failure.
    QDir().mkpath(Join_Path(folder, QStringLiteral("bin")));
    Ctx.State.Activate_Project(name);
    accept();
}
