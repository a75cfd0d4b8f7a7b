#include "base/gui/AppContext.h"
#include "base/Constants.h"
#include "base/TextNumbers.h"
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QString AppContext::textOf(const Result& result) const { return texts.message(result); }

bool AppContext::report(const Result& result) const
{
    if (!result.ok)
        platform.messages->error(textOf(result));
    return result.ok;
}

MessageBoxTexts messageBoxTexts(const TextTable& texts)
{
    return {texts[Text::TitleError], texts[Text::TitleWarning], texts[Text::TitleInformation], texts[Text::TitleConfirm],
        texts[Text::ButtonYes], texts[Text::ButtonNo], texts[Text::ButtonOk], texts[Text::ButtonCancel]};
}

QLabel* makeSoftwareCodeLabel(QWidget* parent)
{
    auto* label = withObjectName(new QLabel(SoftwareCode, parent), "L_SW_Code");
    QFont font = label->font();
    font.setPointSize(20);
    font.setBold(true);
    label->setFont(font);
    return label;
}

QHBoxLayout* makeOkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel)
{
    auto* row = new QHBoxLayout;
    ok = withObjectName(new QPushButton(dialog), "Btn_OK");
    cancel = withObjectName(new QPushButton(dialog), "Btn_Cancel");
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

QLabel* makeReadOnlyNotice(QWidget* parent)
{
    auto* notice = withObjectName(new QLabel(parent), "L_Read_Only");
    notice->setWordWrap(true);
    notice->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    notice->hide();
    return notice;
}

void showReadOnlyNotice(QLabel* notice, const AppContext& context, const Result& reason)
{
    notice->setText(reason.ok ? QString() : context.texts[Text::ReadOnlyNotice] + u' ' + context.textOf(reason));
    notice->setVisible(!reason.ok);
}
