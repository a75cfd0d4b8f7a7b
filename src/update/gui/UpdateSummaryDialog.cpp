#include "update/gui/UpdateSummaryDialog.h"
#include "base/TextNumbers.h"
#include "update/core/UpdateDescriptor.h"
#include "update/gui/UpdateOptionTexts.h"
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

UpdateSummaryDialog::UpdateSummaryDialog(AppContext& context, const UpdateSummary& summary, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFUpdateSummary"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const TextTable& t = context.texts;
    setWindowTitle(t[Text::UpdateSummaryWindow]);

    auto* top = new QVBoxLayout(this);
    top->addWidget(makeSoftwareCodeLabel(this));
    top->addWidget(withObjectName(new QLabel(t[Text::UpdateSummaryHeading], this), "L_Summary"));
    auto* form = new QFormLayout;
    auto row = [&](int caption, const char* name, const QString& value) {
        auto* label = withObjectName(new QLabel(value, this), name);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(t[caption], label);
    };
    const QString bytes = u' ' + t[Text::SummaryBytes];
    auto image = [&](const QString& file, qint64 size) {
        return QStringLiteral("%1 (%2%3)").arg(QDir::toNativeSeparators(file)).arg(size).arg(bytes);
    };
    row(Text::SummaryConfiguration, "L_Configuration", summary.configuration);
    row(Text::SummaryAddress, "L_Address", summary.address);
    row(Text::SummaryOption, "L_Option", t[updateOptionTexts[summary.option]]);
    row(Text::SummaryBank1, "L_Bank1", image(summary.bank1File, summary.bank1Bytes));
    row(Text::SummaryBank2, "L_Bank2", image(summary.bank2File, summary.bank2Bytes));
    row(Text::SummaryVariables, "L_Variables", QString::number(summary.variables));
    row(Text::SummaryDataSets, "L_DataSets", QString::number(summary.dataSets));
    row(Text::SummaryTablesUsed, "L_Tables_Used",
        QStringLiteral("%1 / %2%3 (%4 %)")
            .arg(summary.bank2Bytes)
            .arg(summary.tablesRoom)
            .arg(bytes)
            .arg(100.0 * static_cast<double>(summary.bank2Bytes) / static_cast<double>(summary.tablesRoom), 0, 'f', 1));
    row(Text::SummaryChecksum, "L_Checksum",
        QStringLiteral("%1 (0x%2)")
            .arg(summary.checksum)
            .arg(QString::number(summary.checksum, 16).toUpper().rightJustified(8, u'0')));
    const bool firmware = includesFirmware(summary.option);
    if (firmware && summary.firmwarePresent)
        row(Text::SummaryFirmware, "L_Firmware",
            QDir::toNativeSeparators(summary.firmwareFile) + u' ' + t[Text::SummaryFirmwarePresent]);
    top->addLayout(form);
    if (firmware && !summary.firmwarePresent) {
        // The updater would stop at the firmware operation, after the engineer has waited for it.
        auto* missing = withObjectName(
            new QLabel(t[Text::FirmwareMissing] + QDir::toNativeSeparators(summary.firmwareFile), this), "L_Firmware_Missing");
        missing->setWordWrap(true);
        missing->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
        top->addWidget(missing);
    }

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    top->addLayout(makeOkCancelRow(this, ok, cancel));
    ok->setText(t[Text::SummaryContinue]);
    cancel->setText(t[Text::SummaryStop]);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool confirmUpdateSummary(AppContext& context, const UpdateSummary& summary, QWidget* parent)
{
    UpdateSummaryDialog dialog(context, summary, parent);
    return dialog.exec() == QDialog::Accepted;
}
