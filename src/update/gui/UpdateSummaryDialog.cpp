#include "update/gui/UpdateSummaryDialog.h"
#include "base/TextNumbers.h"
#include "update/core/UpdateDescriptor.h"
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Places of the window's texts after its first number.
namespace Place {
enum : int {
    Caption = 0,
    Heading,
    Configuration,
    Address,
    Option,
    Bank1,
    Bank2,
    Variables,
    DataSets,
    TablesUsed,
    Checksum,
    Firmware,
    Bytes,
    FirmwarePresent,
    Missing, // Text::FirmwareMissing
    Continue,
    Stop,
};
} // namespace Place

} // namespace

UpdateSummaryDialog::UpdateSummaryDialog(AppContext& context, const UpdateSummary& summary, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFUpdateSummary"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const TextTable& t = context.texts;
    auto text = [&t](int place) { return t[Text::UpdateSummaryWindow + place]; };
    setWindowTitle(text(Place::Caption));

    auto* top = new QVBoxLayout(this);
    top->addWidget(makeSoftwareCodeLabel(this));
    top->addWidget(withObjectName(new QLabel(text(Place::Heading), this), "L_Summary"));
    auto* form = new QFormLayout;
    auto row = [&](int caption, const char* name, const QString& value) {
        auto* label = withObjectName(new QLabel(value, this), name);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(text(caption), label);
    };
    const QString bytes = u' ' + text(Place::Bytes);
    auto image = [&](const QString& file, qint64 size) {
        return QStringLiteral("%1 (%2%3)").arg(QDir::toNativeSeparators(file)).arg(size).arg(bytes);
    };
    row(Place::Configuration, "L_Configuration", summary.configuration);
    row(Place::Address, "L_Address", summary.address);
    row(Place::Option, "L_Option", t[Text::UpdateWindow + 15 + summary.option]);
    row(Place::Bank1, "L_Bank1", image(summary.bank1File, summary.bank1Bytes));
    row(Place::Bank2, "L_Bank2", image(summary.bank2File, summary.bank2Bytes));
    row(Place::Variables, "L_Variables", QString::number(summary.variables));
    row(Place::DataSets, "L_DataSets", QString::number(summary.dataSets));
    row(Place::TablesUsed, "L_Tables_Used",
        QStringLiteral("%1 / %2%3 (%4 %)")
            .arg(summary.bank2Bytes)
            .arg(summary.tablesRoom)
            .arg(bytes)
            .arg(100.0 * static_cast<double>(summary.bank2Bytes) / static_cast<double>(summary.tablesRoom), 0, 'f', 1));
    row(Place::Checksum, "L_Checksum",
        QStringLiteral("%1 (0x%2)")
            .arg(summary.checksum)
            .arg(QString::number(summary.checksum, 16).toUpper().rightJustified(8, u'0')));
    const bool firmware = includesFirmware(summary.option);
    if (firmware && summary.firmwarePresent)
        row(Place::Firmware, "L_Firmware", QDir::toNativeSeparators(summary.firmwareFile) + u' ' + text(Place::FirmwarePresent));
    top->addLayout(form);
    if (firmware && !summary.firmwarePresent) {
        // The updater would stop at the firmware operation, after the engineer has waited for it.
        auto* missing = withObjectName(
            new QLabel(text(Place::Missing) + QDir::toNativeSeparators(summary.firmwareFile), this), "L_Firmware_Missing");
        missing->setWordWrap(true);
        missing->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
        top->addWidget(missing);
    }

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    top->addLayout(makeOkCancelRow(this, ok, cancel));
    ok->setText(text(Place::Continue));
    cancel->setText(text(Place::Stop));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool confirmUpdateSummary(AppContext& context, const UpdateSummary& summary, QWidget* parent)
{
    UpdateSummaryDialog dialog(context, summary, parent);
    return dialog.exec() == QDialog::Accepted;
}
