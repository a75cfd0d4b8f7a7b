#include "TFOpenConf.h"
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TFOpenConf::TFOpenConf(TAppContext& context, QWidget* parent)
    : QDialog(parent)
    , Ctx(context)
{
    setObjectName(QStringLiteral("TFOpenConf"));
    auto* top = new QVBoxLayout(this);
    L_SW_Code = Make_SW_Code_Label(this);
    L_SW_Desc = Named(new QLabel(this), "L_SW_Desc");
    Label1 = Named(new QLabel(this), "Label1");
    ListBox1 = Named(new QListWidget(this), "ListBox1");
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    top->addWidget(L_SW_Code);
    top->addWidget(L_SW_Desc);
    top->addSpacing(12);
    top->addWidget(Label1);
    top->addWidget(ListBox1, 1);

    top->addLayout(Make_OK_Cancel_Row(this, Btn_OK, Btn_Cancel));
    Btn_OK->setDefault(true);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TFOpenConf::ListBox1Click);
    connect(Btn_OK, &QPushButton::clicked, this, &TFOpenConf::Btn_OKClick);
    resize(420, 360);

    Set_Lang();
}

void TFOpenConf::Set_Lang()
{
    const TText_Table& t = Ctx.Texts;
    setWindowTitle(t[200]);
    L_SW_Desc->setText(t[201]);
    Label1->setText(t[202]);
    ListBox1->setToolTip(t[205]);
    Btn_OK->setText(t[203]);
    Btn_OK->setToolTip(t[206]);
    Btn_Cancel->setText(t[204]);
    Btn_Cancel->setToolTip(t[207]);
}

void TFOpenConf::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFOpenConf::FormShow()
{
    const TProgramState& state = Ctx.State;
    // Folders only, in the order the file system gives them; hidden and system ones are left out.
    const QStringList names = QDir(state.Projects_Folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    Name_Conf.clear();
    ListBox1->clear();
    ListBox1->addItems(names);

    const QString active = state.Configuration_Active() ? state.Project_Folder.mid(state.Projects_Folder.size() + 1) : QString();
    int row = names.isEmpty() ? -1 : 0;
    for (int i = 0; i < names.size(); ++i)
        if (!active.isEmpty() && names[i].compare(active, Qt::CaseInsensitive) == 0) {
            row = i;
            break;
        }
    ListBox1->setCurrentRow(row);
    ListBox1->setFocus();
}

void TFOpenConf::ListBox1Click()
{
    if (const QListWidgetItem* item = ListBox1->currentItem())
        Name_Conf = item->text();
}

void TFOpenConf::Btn_OKClick()
{
    // Nothing to choose from: the active configuration stays as it was.
    if (Name_Conf.isEmpty())
        reject();
    else
        accept();
}
