// Writes the English language file, made from the built-in table, and its flag
// picture into the folder given, so that the options window lists English and
// a user who chose another language can come back to it.

#include "shell/ULanguage.h"

#include "platform/FileSystem.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

// A simplified union flag, filling the 48 by 48 picture that a language slot shows.
QImage English_Flag()
{
    constexpr int size = 48;
    constexpr double unit = size / 30.0;   // the flag's proportions measured in its height
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor(0x01, 0x21, 0x69));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor white(Qt::white);
    const QColor red(0xC8, 0x10, 0x2E);
    auto diagonals = [&](const QColor& colour, double width) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(-size, -size), QPointF(2 * size, 2 * size));
        p.drawLine(QPointF(-size, 2 * size), QPointF(2 * size, -size));
    };
    diagonals(white, 6 * unit);
    diagonals(red, 2 * unit);
    auto cross = [&](const QColor& colour, double width) {
        const double from = (size - width) / 2;
        p.fillRect(QRectF(from, 0, width, size), colour);
        p.fillRect(QRectF(0, from, size, width), colour);
    };
    cross(white, 10 * unit);
    cross(red, 6 * unit);
    p.end();
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <language folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QString error;
    if (!platform::ForceFolders(folder, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    Load_English_Table();
    QByteArray text;
    if (!Lng_File_Text(Language_List, &text, &error)
        || !platform::WriteFileAtomically(platform::JoinPath(folder, QStringLiteral("English.lng")), text, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QString flag = platform::JoinPath(folder, QStringLiteral("English.bmp"));
    if (!English_Flag().save(flag, "BMP")) {
        std::fprintf(stderr, "Cannot write \"%s\".\n", qPrintable(flag));
        return 1;
    }
    return 0;
}
