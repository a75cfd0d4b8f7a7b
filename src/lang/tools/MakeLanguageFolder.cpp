// Build tool: writes into the given folder the language files made from the program itself,
// English.lng, and the flag pictures of the shipped languages with DefaultFlag.bmp.
#include "base/Files.h"
#include "base/TextTable.h"
#include "lang/core/LanguageTemplate.h"
#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

constexpr int side = 48; // the options window shows flags at 48 x 48

QImage englishFlag()
{
    QImage flag(side, side, QImage::Format_RGB32);
    flag.fill(Qt::white);
    QPainter p(&flag);
    const QColor red(200, 16, 46);
    p.fillRect(QRect(side / 2 - 5, 0, 10, side), red);
    p.fillRect(QRect(0, side / 2 - 5, side, 10), red);
    return flag;
}

QImage italianFlag()
{
    QImage flag(side, side, QImage::Format_RGB32);
    QPainter p(&flag);
    p.fillRect(QRect(0, 0, side / 3, side), QColor(0, 146, 70));
    p.fillRect(QRect(side / 3, 0, side / 3, side), Qt::white);
    p.fillRect(QRect(2 * side / 3, 0, side - 2 * side / 3, side), QColor(206, 43, 55));
    return flag;
}

// A plain globe for languages that bring no flag of their own.
QImage defaultFlag()
{
    QImage flag(side, side, QImage::Format_RGB32);
    flag.fill(QColor(235, 235, 235));
    QPainter p(&flag);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF globe(6, 6, side - 12, side - 12);
    p.setPen(QPen(QColor(20, 60, 120), 2));
    p.setBrush(QColor(70, 130, 200));
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1.5));
    p.drawEllipse(globe.adjusted(globe.width() / 3, 0, -globe.width() / 3, 0));
    p.drawLine(QPointF(globe.center().x(), globe.top()), QPointF(globe.center().x(), globe.bottom()));
    p.drawLine(QPointF(globe.left(), globe.center().y()), QPointF(globe.right(), globe.center().y()));
    return flag;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: swq_make_language_folder <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (const Result written = writeChosenFile(joinPath(folder, QStringLiteral("English.lng")), englishLanguageTemplate());
        !written) {
        std::fprintf(stderr, "%s\n", qPrintable(englishMessage(written)));
        return 1;
    }
    const std::pair<const char*, QImage> flags[]
        = {{"English.bmp", englishFlag()}, {"Italiano.bmp", italianFlag()}, {"DefaultFlag.bmp", defaultFlag()}};
    for (const auto& [name, image] : flags) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "BMP");
        if (const Result written = writeChosenFile(joinPath(folder, QString::fromLatin1(name)), bytes); !written) {
            std::fprintf(stderr, "%s\n", qPrintable(englishMessage(written)));
            return 1;
        }
    }
    return 0;
}
