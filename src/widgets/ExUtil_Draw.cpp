#include "widgets/ExUtil.h"

#include <QImage>
#include <QImageReader>

#include <stdexcept>

void LoadBitmapResource(platform::TBitmap& bitmap, const QString& name)
{
    // Resources are kept under their bare names, as the program's module
    // names them; the reader finds the format from the contents.
    QImageReader reader(QStringLiteral(":/bitmaps/") + name);
    QImage image;
    if (name.isEmpty() || !reader.read(&image) || image.isNull())
        throw std::runtime_error(QStringLiteral("Resource %1 not found").arg(name).toStdString());
    bitmap.SetImage(image);
}
