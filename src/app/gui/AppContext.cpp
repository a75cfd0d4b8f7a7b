#include "AppContext.h"
#include "Constants.h"
#include <QLabel>

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
