#include "options/gui/AboutDialog.h"
#include "base/Constants.h"
#include "options/core/MakerWebSite.h"
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// The converter drawn as a box between its two networks.
QPixmap productPicture()
{
    QPixmap picture(160, 120);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(0, 92, 153));
    p.drawRoundedRect(QRectF(40, 14, 80, 92), 8, 8);
    p.setBrush(QColor(230, 230, 230));
    for (int i = 0; i < 2; ++i) {
        p.drawRect(QRectF(28, 34 + i * 36, 14, 16)); // IEC 61850 side
        p.drawRect(QRectF(118, 34 + i * 36, 14, 16)); // EtherNet/IP side
    }
    p.setPen(QColor(120, 200, 120));
    p.setBrush(QColor(120, 200, 120));
    p.drawEllipse(QPointF(80, 26), 4, 4);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(40, 40, 80, 40), Qt::AlignCenter, QStringLiteral("IEC 61850\nEtherNet/IP"));
    return picture;
}

} // namespace

AboutDialog::AboutDialog(AppContext& appContext, QWidget* parent)
    : QDialog(parent)
    , context(appContext)
{
    setObjectName(QStringLiteral("TFAbout"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("About..."));

    pictureLabel = withObjectName(new QLabel(this), "Image2");
    pictureLabel->setPixmap(productPicture());
    titleLabel = withObjectName(new QLabel(QStringLiteral("Software Tessav "), this), "Label1");
    QFont heading = titleLabel->font();
    heading.setPointSize(heading.pointSize() + 6);
    heading.setBold(true);
    titleLabel->setFont(heading);
    descriptionLabel = withObjectName(new QLabel(this), "Label2");
    auto* softwareCodeCaption = withObjectName(new QLabel(QStringLiteral("Software Code : "), this), "Label6");
    softwareCodeValue = withObjectName(new QLabel(this), "Label9");
    auto* versionCaption = withObjectName(new QLabel(QStringLiteral("Version :"), this), "Label3");
    versionValue = withObjectName(new QLabel(this), "Label10");
    auto* documentCodeCaption = withObjectName(new QLabel(QStringLiteral("Document Code :"), this), "Label8");
    documentCodeValue = withObjectName(new QLabel(this), "Label12");
    makerLink = withObjectName(new QLabel(QStringLiteral("<a href=\"home\">%1</a>").arg(MakerWebHost), this), "Label4");
    makerLink->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    closeButton = withObjectName(new QPushButton(QStringLiteral("OK"), this), "LbButton1");

    pictureLabel->setCursor(Qt::PointingHandCursor);
    pictureLabel->installEventFilter(this);
    connect(makerLink, &QLabel::linkActivated, this, &AboutDialog::onMakerLinkClicked);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout(this);
    top->addWidget(pictureLabel, 0, Qt::AlignTop);
    auto* text = new QVBoxLayout;
    text->addWidget(titleLabel);
    text->addWidget(descriptionLabel);
    auto* values = new QGridLayout;
    values->addWidget(softwareCodeCaption, 0, 0);
    values->addWidget(softwareCodeValue, 0, 1);
    values->addWidget(versionCaption, 1, 0);
    values->addWidget(versionValue, 1, 1);
    values->addWidget(documentCodeCaption, 2, 0);
    values->addWidget(documentCodeValue, 2, 1);
    values->setColumnStretch(1, 1);
    text->addLayout(values);
    text->addWidget(makerLink);
    text->addStretch(1);
    text->addWidget(closeButton, 0, Qt::AlignRight);
    top->addLayout(text, 1);
    setFixedSize(sizeHint().expandedTo(QSize(460, 200)));
}

void AboutDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        loadOnShow();
    QDialog::showEvent(event);
}

void AboutDialog::loadOnShow()
{
    descriptionLabel->setText(SoftwareDescription);
    softwareCodeValue->setText(SoftwareCode);
    versionValue->setText(SoftwareVersion);
    documentCodeValue->setText(QStringLiteral("MNQuelmor"));
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pictureLabel && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        onMakerLinkClicked();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::onMakerLinkClicked() { context.platform.shell->openUrl(makerHomePage()); }
