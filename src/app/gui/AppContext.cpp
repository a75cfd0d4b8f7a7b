#include "AppContext.h"
#include "Constants.h"
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QString TAppContext::Text_Of(const TResult& result) const
{
    return result.Text_No >= 0 ? Texts[result.Text_No] + result.Arg : result.Message;
}

bool TAppContext::Report(const TResult& result) const
{
    if (!result.Ok)
        Platform.Messages->Error(Text_Of(result));
    return result.Ok;
}

QLabel* Make_SW_Code_Label(QWidget* parent)
{
    auto* label = Named(new QLabel(SoftwareCode, parent), "L_SW_Code");
    QFont font = label->font();
    font.setPointSize(20);
    font.setBold(true);
    label->setFont(font);
    return label;
}

QHBoxLayout* Make_OK_Cancel_Row(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel)
{
    auto* row = new QHBoxLayout;
    ok = Named(new QPushButton(dialog), "Btn_OK");
    cancel = Named(new QPushButton(dialog), "Btn_Cancel");
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}
