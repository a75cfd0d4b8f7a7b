#include "TFAbout.h"
#include "Constants.h"
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

// The converter drawn as a box between its two networks.
QPixmap Product_Picture()
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
        p.drawRect(QRectF(28, 34 + i * 36, 14, 16));  // IEC 61850 side
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

TFAbout::TFAbout(TAppContext& context, QWidget* parent)
    : QDialog(parent)
    , Ctx(context)
{
    setObjectName(QStringLiteral("TFAbout"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("About..."));

    Image2 = Named(new QLabel(this), "Image2");
    Image2->setPixmap(Product_Picture());
    Label1 = Named(new QLabel(QStringLiteral("Software Tessav "), this), "Label1");
    QFont heading = Label1->font();
    heading.setPointSize(heading.pointSize() + 6);
    heading.setBold(true);
    Label1->setFont(heading);
    Label2 = Named(new QLabel(this), "Label2");
    Label6 = Named(new QLabel(QStringLiteral("Software Code : "), this), "Label6");
    Label9 = Named(new QLabel(this), "Label9");
    Label3 = Named(new QLabel(QStringLiteral("Version :"), this), "Label3");
    Label10 = Named(new QLabel(this), "Label10");
    Label8 = Named(new QLabel(QStringLiteral("Document Code :"), this), "Label8");
    Label12 = Named(new QLabel(this), "Label12");
    Label4 = Named(new QLabel(QStringLiteral("<a href=\"home\">%1</a>").arg(MakerWebHost), this), "Label4");
    Label4->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    LbButton1 = Named(new QPushButton(QStringLiteral("OK"), this), "LbButton1");

    Image2->setCursor(Qt::PointingHandCursor);
    Image2->installEventFilter(this);
    connect(Label4, &QLabel::linkActivated, this, &TFAbout::Label4Click);
    connect(LbButton1, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout(this);
    top->addWidget(Image2, 0, Qt::AlignTop);
    auto* text = new QVBoxLayout;
    text->addWidget(Label1);
    text->addWidget(Label2);
    auto* values = new QGridLayout;
    values->addWidget(Label6, 0, 0);
    values->addWidget(Label9, 0, 1);
    values->addWidget(Label3, 1, 0);
    values->addWidget(Label10, 1, 1);
    values->addWidget(Label8, 2, 0);
    values->addWidget(Label12, 2, 1);
    values->setColumnStretch(1, 1);
    text->addLayout(values);
    text->addWidget(Label4);
    text->addStretch(1);
    text->addWidget(LbButton1, 0, Qt::AlignRight);
    top->addLayout(text, 1);
    setFixedSize(sizeHint().expandedTo(QSize(460, 200)));
}

void TFAbout::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFAbout::FormShow()
{
    Label2->setText(SoftwareDescription);
    Label9->setText(SoftwareCode);
    Label10->setText(SoftwareVersion);
    Label12->setText(QStringLiteral("MNQuelmor"));
}

bool TFAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image2 && event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label4Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFAbout::Label4Click() { Ctx.Platform.Shell->Open_Url(Maker_Home_Page()); }
