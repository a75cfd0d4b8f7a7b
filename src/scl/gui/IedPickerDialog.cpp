#include "scl/gui/IedPickerDialog.h"
#include "base/TextNumbers.h"
#include "base/TextTable.h"
#include "base/gui/AppContext.h"
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { Name, Desc, Manufacturer, Type, LogicalDevices, LogicalNodes, IpAddress, ColumnCount };

} // namespace

IedPickerDialog::IedPickerDialog(
    const TextTable& texts, const QString& fileName, const std::vector<IedSummary>& ieds, QWidget* parent)
    : QDialog(parent)
    , m_ieds(ieds)
{
    setObjectName(QStringLiteral("TFIED_Picker"));
    setWindowTitle(texts[Text::IedPickerWindow]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(withObjectName(new QLabel(texts[Text::IedPickerIntro] + fileName, this), "L_Intro"));

    m_list = withObjectName(new QTreeWidget(this), "LV_IEDs");
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setColumnCount(ColumnCount);
    QStringList headings;
    for (int col = 0; col < ColumnCount; ++col)
        headings << texts[Text::IedPickerHeadings + col];
    m_list->setHeaderLabels(headings);
    const QString clientHint = texts[Text::IedPickerClientHint];
    for (const IedSummary& ied : ieds) {
        auto* row = new QTreeWidgetItem(m_list,
            {ied.name, ied.desc, ied.manufacturer, ied.type, QString::number(ied.logicalDevices),
                QString::number(ied.logicalNodes), ied.ipAddresses.join(QStringLiteral(", "))});
        for (int col : {LogicalDevices, LogicalNodes})
            row->setTextAlignment(col, Qt::AlignRight | Qt::AlignVCenter);
        if (ied.isClient())
            for (int col = 0; col < ColumnCount; ++col)
                row->setToolTip(col, clientHint);
    }
    m_list->header()->resizeSections(QHeaderView::ResizeToContents);
    layout->addWidget(m_list, 1);

    m_offerClients = withObjectName(new QCheckBox(texts[Text::IedPickerOfferClients], this), "CB_OfferClients");
    layout->addWidget(m_offerClients);
    QPushButton *ok = nullptr, *cancel = nullptr;
    layout->addLayout(makeOkCancelRow(this, ok, cancel));
    ok->setText(texts[Text::AccessOk]);
    cancel->setText(texts[Text::AccessCancel]);
    ok->setDefault(true);

    connect(ok, &QPushButton::clicked, this, [this] {
        if (chosenIed() >= 0)
            accept();
    });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (chosenIed() >= 0)
            accept();
    });
    connect(m_offerClients, &QCheckBox::toggled, this, &IedPickerDialog::offerClients);
    offerClients(false);
    if (!ieds.empty())
        m_list->setCurrentItem(m_list->topLevelItem(preferredIed(ieds)));
    m_list->setFocus();
    resize(900, 420);
}

void IedPickerDialog::offerClients(bool offer)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = m_list->topLevelItem(i);
        // Greyed by being disabled; offered, a client stays grey to be told apart.
        if (m_ieds[size_t(i)].isClient()) {
            row->setDisabled(!offer);
            for (int col = 0; col < ColumnCount; ++col)
                row->setForeground(col, palette().brush(QPalette::Disabled, QPalette::Text));
        }
    }
}

int IedPickerDialog::chosenIed() const
{
    QTreeWidgetItem* current = m_list->currentItem();
    if (!current || current->isDisabled())
        return -1;
    return m_list->indexOfTopLevelItem(current);
}

std::optional<int> IedPickerDialog::choose(
    const TextTable& texts, const QString& fileName, const std::vector<IedSummary>& ieds, QWidget* parent)
{
    IedPickerDialog dialog(texts, fileName, ieds, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenIed();
}
