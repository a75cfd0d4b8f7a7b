// Build tool: writes into the given folder the language files made from the program itself,
// English.lng, and the flag pictures of the shipped languages with DefaultFlag.bmp.
#include "Files.h"
#include "LanguageTemplate.h"
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

constexpr int Side = 48; // the options window shows flags at 48 x 48

QImage English_Flag()
{
    QImage flag(Side, Side, QImage::Format_RGB32);
    flag.fill(Qt::white);
    QPainter p(&flag);
    const QColor red(200, 16, 46);
    p.fillRect(QRect(Side / 2 - 5, 0, 10, Side), red);
    p.fillRect(QRect(0, Side / 2 - 5, Side, 10), red);
    return flag;
}

QImage Italian_Flag()
{
    QImage flag(Side, Side, QImage::Format_RGB32);
    QPainter p(&flag);
    p.fillRect(QRect(0, 0, Side / 3, Side), QColor(0, 146, 70));
    p.fillRect(QRect(Side / 3, 0, Side / 3, Side), Qt::white);
    p.fillRect(QRect(2 * Side / 3, 0, Side - 2 * Side / 3, Side), QColor(206, 43, 55));
    return flag;
}

// A plain globe for languages that bring no flag of their own.
QImage Default_Flag()
{
    QImage flag(Side, Side, QImage::Format_RGB32);
    flag.fill(QColor(235, 235, 235));
    QPainter p(&flag);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF globe(6, 6, Side - 12, Side - 12);
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
    if (const TResult written = Write_File_Atomic(Join_Path(folder, QStringLiteral("English.lng")), English_Language_Template()); !written) {
        std::fprintf(stderr, "%s\n", qPrintable(written.Message));
        return 1;
    }
    const std::pair<const char*, QImage> flags[] = {
        {"English.bmp", English_Flag()}, {"Italiano.bmp", Italian_Flag()}, {"DefaultFlag.bmp", Default_Flag()}};
    for (const auto& [name, image] : flags) {
        const QString path = Join_Path(folder, QString::fromLatin1(name));
        if (!image.save(path, "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
