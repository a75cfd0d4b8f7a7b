#include "comm/gui/CommunicationDialog.h"
#include "base/TextNumbers.h"
#include "base/gui/OctetFields.h"
#include "configuration/core/ConfigurationPaths.h"
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int windowWidth = 460;
const QString tunnelPort = QStringLiteral("44818");
} // namespace

CommunicationDialog::CommunicationDialog(AppContext& appContext, QWidget* parent)
    : QDialog(parent)
    , context(appContext)
{
    setObjectName(QStringLiteral("TFParGen"));
    auto* top = new QVBoxLayout(this);
    softwareCodeLabel = makeSoftwareCodeLabel(this);
    softwareDescriptionLabel = withObjectName(new QLabel(this), "L_SW_Desc");
    bind(this, Text::CommunicationWindow, -1);
    bind(softwareDescriptionLabel, Text::CommunicationDescription, -1);
    top->addWidget(softwareCodeLabel);
    top->addWidget(softwareDescriptionLabel);
    readOnlyNotice = makeReadOnlyNotice(this);
    top->addWidget(readOnlyNotice);

    panelScroll = withObjectName(new QScrollArea(this), "Panel_Group");
    panelScroll->setWidgetResizable(true);
    panelScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(panelScroll);
    auto* stack = new QVBoxLayout(content);
    iecPanel = makePanel("Panel_IEC61850_Client", "Btn_Panel_IEC61850_Client");
    enipPanel = makePanel("Panel_EtherNetIP", "Btn_Panel_EtherNetIP");
    stack->addWidget(iecPanel.frame);
    stack->addWidget(enipPanel.frame);
    stack->addStretch(1);
    panelScroll->setWidget(content);
    top->addWidget(panelScroll, 1);

    QGridLayout* g = iecPanel.body;
    QList<QLineEdit*> chain;
    chain << addOctetRow(
        g, 0, caption("L_IEC61850_Client_IP", Text::IecClientIpCaption), "IEC61850_Client_IP", Text::IecClientIpHints);
    chain << addOctetRow(g, 1, caption("L_IEC61850_Client_SM", Text::IecClientSubnetMaskCaption), "IEC61850_Client_SM",
        Text::IecClientSubnetMaskHints);
    iecGatewayBox = withObjectName(new QCheckBox, "CB_IEC61850_Client_En_GAT");
    bind(iecGatewayBox, Text::IecClientGatewayCaption, Text::IecClientGatewaySwitchHint);
    chain << addOctetRow(g, 2, iecGatewayBox, "IEC61850_Client_GAT", Text::IecClientGatewayHints);
    chainOctetFields(chain);
    QLineEdit* vlan = addFieldRow(
        g, 3, Text::IecClientVlanCaption, "E_IEC61850_Client_VLAN", "IEC61850_Client_VLAN", Text::IecClientVlanHint);
    // Digits only, at most 8; a text loaded from the file is shown as it is.
    vlan->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,8}")), vlan));
    addFieldRow(g, 4, Text::IecClientApplicationIdCaption, "E_IEC61850_Client_AppID", "IEC61850_Client_Application_ID",
        Text::IecClientApplicationIdHint);

    g = enipPanel.body;
    chain.clear();
    chain << addOctetRow(g, 0, caption("L_EtherNetIP_IP", Text::EtherNetIpIpCaption), "EtherNetIP_IP", Text::EtherNetIpIpHints);
    chain << addOctetRow(
        g, 1, caption("L_EtherNetIP_SM", Text::EtherNetIpSubnetMaskCaption), "EtherNetIP_SM", Text::EtherNetIpSubnetMaskHints);
    enipGatewayBox = withObjectName(new QCheckBox, "CB_EtherNetIP_GAT");
    bind(enipGatewayBox, Text::EtherNetIpGatewayCaption, Text::EtherNetIpGatewaySwitchHint);
    chain << addOctetRow(g, 2, enipGatewayBox, "EtherNetIP_GAT", Text::EtherNetIpGatewayHints);
    chainOctetFields(chain);
    // The port is fixed: shown, never edited and not part of the set.
    enipTunnelPortEdit
        = addFieldRow(g, 3, Text::EtherNetIpPortCaption, "E_EtherNetIP_TunnelPort", nullptr, Text::EtherNetIpPortHint);
    enipTunnelPortEdit->setText(tunnelPort);
    enipTunnelPortEdit->setEnabled(false);
    addFieldRow(
        g, 4, Text::EtherNetIpInputBytesCaption, "E_EtherNetIP_NByte_In", "EtherNetIP_NB_Input", Text::EtherNetIpInputBytesHint);
    addFieldRow(g, 5, Text::EtherNetIpOutputBytesCaption, "E_EtherNetIP_NByte_Out", "EtherNetIP_NB_Output",
        Text::EtherNetIpOutputBytesHint);

    top->addLayout(makeOkCancelRow(this, okButton, cancelButton));
    okButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
    bind(okButton, Text::CommunicationOk, Text::CommunicationOkHint);
    bind(cancelButton, Text::CommunicationCancel, Text::CommunicationCancelHint);
    connect(okButton, &QPushButton::clicked, this, &CommunicationDialog::onOkClicked);

    resize(windowWidth, 700);
    orderTabPanels();
    retranslate();
}

CommunicationDialog::Panel CommunicationDialog::makePanel(const char* name, const char* headerName)
{
    Panel panel;
    panel.frame = withObjectName(new QWidget, name);
    auto* column = new QVBoxLayout(panel.frame);
    column->setContentsMargins(0, 0, 0, 0);
    panel.header = withObjectName(new QToolButton(panel.frame), headerName);
    panel.header->setCheckable(true);
    panel.header->setChecked(true);
    panel.header->setArrowType(Qt::DownArrow);
    panel.header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    panel.header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* body = new QWidget(panel.frame);
    panel.body = new QGridLayout(body);
    // The body ends a little below its last control; both panels align their fields.
    panel.body->setContentsMargins(8, 4, 8, 12);
    panel.body->setColumnMinimumWidth(0, 150);
    column->addWidget(panel.header);
    column->addWidget(body);
    QToolButton* header = panel.header;
    connect(header, &QToolButton::toggled, body, [header, body](bool expanded) {
        body->setVisible(expanded);
        header->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    });
    return panel;
}

void CommunicationDialog::orderTabPanels() { setTabOrder(iecPanel.header, enipPanel.header); }

QList<QLineEdit*> CommunicationDialog::addOctetRow(
    QGridLayout* grid, int row, QWidget* lead, const OctetKeys& keys, int firstHint)
{
    grid->addWidget(lead, row, 0);
    QList<QLineEdit*> octets;
    for (int i = 1; i <= 4; ++i) {
        const CommunicationKey key = keys.octets[static_cast<size_t>(i - 1)];
        auto* field = withObjectName(new QLineEdit, (QByteArray("E_") + key.name()).constData());
        fields[key.index()] = field;
        bind(field, -1, firstHint + i - 1);
        grid->addWidget(field, row, i);
        octets << field;
    }
    return octets;
}

QLineEdit* CommunicationDialog::addFieldRow(
    QGridLayout* grid, int row, int captionNo, const char* name, CommunicationKey key, int hintNo)
{
    QLineEdit* field = addFieldRow(grid, row, captionNo, name, nullptr, hintNo);
    fields[key.index()] = field;
    return field;
}

QLineEdit* CommunicationDialog::addFieldRow(
    QGridLayout* grid, int row, int captionNo, const char* name, std::nullptr_t, int hintNo)
{
    auto* field = withObjectName(new QLineEdit, name);
    bind(field, -1, hintNo);
    grid->addWidget(caption(QByteArray("L_" + QByteArray(name + 2)).constData(), captionNo), row, 0);
    grid->addWidget(field, row, 1, 1, 4);
    return field;
}

QLabel* CommunicationDialog::caption(const char* name, int captionNo)
{
    auto* label = withObjectName(new QLabel, name);
    bind(label, captionNo, -1);
    return label;
}

void CommunicationDialog::bind(QWidget* control, int captionNo, int hintNo) { bindings.push_back({control, captionNo, hintNo}); }

void CommunicationDialog::retranslate()
{
    iecPanel.header->setText(QStringLiteral("1. ") + context.texts[Text::IecClientPanel]);
    enipPanel.header->setText(QStringLiteral("2. ") + context.texts[Text::EtherNetIpPanel]);
    for (const TextBinding& b : bindings) {
        if (b.captionNo >= 0) {
            const QString& text = context.texts[b.captionNo];
            if (auto* label = qobject_cast<QLabel*>(b.control))
                label->setText(text);
            else if (auto* button = qobject_cast<QAbstractButton*>(b.control))
                button->setText(text);
            else
                b.control->setWindowTitle(text);
        }
        if (b.hintNo >= 0)
            b.control->setToolTip(context.texts[b.hintNo]);
    }
    showReadOnlyNotice(readOnlyNotice, context, readOnlyReason);
    fitPanelsWidth();
}

void CommunicationDialog::setReadOnly(const Result& reason)
{
    readOnlyReason = reason;
    okButton->setEnabled(reason.ok);
    showReadOnlyNotice(readOnlyNotice, context, reason);
}

void CommunicationDialog::fitPanelsWidth()
{
    // The panel group scrolls only up and down: it is as wide as its panels need, so a longer
    // translation widens the window instead of running out of sight. Only the height is the
    // engineer's to change.
    panelScroll->setMinimumWidth(panelScroll->widget()->minimumSizeHint().width()
        + panelScroll->verticalScrollBar()->sizeHint().width() + 2 * panelScroll->frameWidth());
    setFixedWidth(std::max(windowWidth, layout()->minimumSize().width()));
}

void CommunicationDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        loadOnShow();
}

void CommunicationDialog::loadOnShow()
{
    // Taken first: a change between the stamp and the reading is one more reason to ask on OK.
    const QString file = configurationPaths(context.state).communicationFile();
    loadedStamp = fileStamp(file);
    CommunicationSettings set;
    const Result read = readParGenFile(file, set);
    showEntries(set);
    // A broken file is reported once the window is up, saying that the defaults shown replace
    // it on OK: nothing is overwritten without the engineer having been told.
    if (!read.ok)
        QMetaObject::invokeMethod(
            this,
            [this, read] {
                context.platform.messages->warning(context.texts[Text::WarningParGenReplaced] + context.textOf(read));
            },
            Qt::QueuedConnection);
}

CommunicationSettings CommunicationDialog::entries() const
{
    CommunicationSettings set;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i])
            set.values[i] = fields[i]->text();
    set["IEC61850_Client_En_GAT"] = iecGatewayBox->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    set["EtherNetIP_EN_GAT"] = enipGatewayBox->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    return set;
}

void CommunicationDialog::showEntries(const CommunicationSettings& set)
{
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i])
            fields[i]->setText(set.values[i]);
    iecGatewayBox->setChecked(set["IEC61850_Client_En_GAT"] == QStringLiteral("1"));
    enipGatewayBox->setChecked(set["EtherNetIP_EN_GAT"] == QStringLiteral("1"));
}

bool CommunicationDialog::validateEntries(const CommunicationSettings& set)
{
    return context.report(checkCommunicationSettings(set));
}

void CommunicationDialog::onOkClicked()
{
    const CommunicationSettings set = entries();
    if (!readOnlyReason.ok || !validateEntries(set))
        return;
    // Another program (a second instance, an editor) changed the file since it was loaded.
    const QString file = configurationPaths(context.state).communicationFile();
    if (fileStamp(file) != loadedStamp
        && !context.platform.messages->askYesNoDefaultNo(
            fillPlaceholders(context.texts[Text::QuestionFileChangedOnDisk], {QDir::toNativeSeparators(file)})))
        return;
    // A failed write keeps the old file and the window open with the entries as they are.
    if (!context.report(writeParGenFile(file, set)))
        return;
    accept();
}
