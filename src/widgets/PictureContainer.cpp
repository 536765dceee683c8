#include "widgets/PictureContainer.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegion>

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

using namespace platform;

namespace {

// Pictures larger than this many pixels are not decoded.
constexpr long long kMaxPixels = 64LL * 1024 * 1024;

int Word(const QByteArray& d, qsizetype at)
{
    return static_cast<unsigned char>(d[at]) | (static_cast<unsigned char>(d[at + 1]) << 8);
}

bool IsGifData(const QByteArray& d) { return d.size() >= 5 && d.startsWith("GIF8"); }

bool IsJpegData(const QByteArray& d)
{
    return d.size() >= 3 && static_cast<unsigned char>(d[0]) == 0xFF && static_cast<unsigned char>(d[1]) == 0xD8 &&
           static_cast<unsigned char>(d[2]) == 0xFF;
}

// Offset of the n-th (1-based) frame start of a GIF: a graphic-control block
// (0x21 0xF9 0x04) whose image separator 0x2C follows five bytes after its
// 0x04, where at least `after` more bytes follow the 0x21; -1 when there is none.
qsizetype FrameStart(const QByteArray& d, int n, int after)
{
    if (n < 1)
        return -1;
    int found = 0;
    for (qsizetype i = 0; i + after < d.size(); ++i) {
        if (static_cast<unsigned char>(d[i]) == 0x21 && static_cast<unsigned char>(d[i + 1]) == 0xF9 &&
            static_cast<unsigned char>(d[i + 2]) == 0x04 && static_cast<unsigned char>(d[i + 8]) == 0x2C) {
            if (++found == n)
                return i;
        }
    }
    return -1;
}

int CountFrames(const QByteArray& d)
{
    int found = 0;
    for (qsizetype i = 0; i + 9 < d.size(); ++i)
        if (static_cast<unsigned char>(d[i]) == 0x21 && static_cast<unsigned char>(d[i + 1]) == 0xF9 &&
            static_cast<unsigned char>(d[i + 2]) == 0x04 && static_cast<unsigned char>(d[i + 8]) == 0x2C)
            ++found;
    return found;
}

// ---------------------------------------------------------------- JPEG

struct JpegError
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void JpegSilent(j_common_ptr) {}

// Where the decoder puts its rows. Only plain data lives in the frame that
// may be left by longjmp; the picture is built by these callbacks.
struct JpegSink
{
    void* context;
    bool (*begin)(void* context, int width, int height, bool cmyk);
    void (*row)(void* context, int y, const unsigned char* pixels);
};

enum class JpegResult { Ok, Invalid, TooLarge };

JpegResult ReadJpeg(const unsigned char* data, unsigned long size, const JpegSink* sink)
{
    jpeg_decompress_struct info{};
    JpegError error;
    info.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = JpegErrorExit;
    error.pub.output_message = JpegSilent;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return JpegResult::Invalid;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char*>(data), size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return JpegResult::Invalid;
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (static_cast<long long>(info.image_width) * info.image_height > kMaxPixels) {
        jpeg_destroy_decompress(&info);
        return JpegResult::TooLarge;
    }
    jpeg_start_decompress(&info);
    if (!sink->begin(sink->context, static_cast<int>(info.output_width), static_cast<int>(info.output_height), cmyk)) {
        jpeg_destroy_decompress(&info);
        return JpegResult::TooLarge;
    }
    JSAMPARRAY buffer = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                  info.output_width * info.output_components, 1);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        if (jpeg_read_scanlines(&info, buffer, 1) != 1)
            break;
        sink->row(sink->context, y, buffer[0]);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return JpegResult::Ok;
}

struct JpegTarget
{
    QImage image;
    bool cmyk = false;
};

JpegResult DecodeJpeg(const QByteArray& data, QImage& out)
{
    JpegTarget target;
    JpegSink sink{&target,
                  [](void* c, int w, int h, bool cmyk) {
                      auto* t = static_cast<JpegTarget*>(c);
                      t->image = QImage(w, h, QImage::Format_RGB32);
                      t->image.fill(Qt::white);
                      t->cmyk = cmyk;
                      return !t->image.isNull();
                  },
                  [](void* c, int y, const unsigned char* px) {
                      auto* t = static_cast<JpegTarget*>(c);
                      auto* line = reinterpret_cast<QRgb*>(t->image.scanLine(y));
                      for (int x = 0; x < t->image.width(); ++x) {
                          if (t->cmyk) {
                              // Stored inverted, as the usual writers store CMYK.
                              const int k = px[4 * x + 3];
                              line[x] = qRgb(px[4 * x] * k / 255, px[4 * x + 1] * k / 255, px[4 * x + 2] * k / 255);
                          } else {
                              line[x] = qRgb(px[3 * x], px[3 * x + 1], px[3 * x + 2]);
                          }
                      }
                  }};
    const JpegResult result = ReadJpeg(reinterpret_cast<const unsigned char*>(data.constData()),
                                       static_cast<unsigned long>(data.size()), &sink);
    if (result == JpegResult::Ok)
        out = target.image;
    return result;
}

} // namespace

// ---------------------------------------------------------------- THTMLPicture

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

void THTMLPicture::Reset()
{
    FIsEmpty = true;
    gpPicture.reset();
    FFrameCount = -1;
    FNextCount = -1;
    FTimerCount = -1;
    FFrame = 1;
    FFrameXPos = FFrameYPos = FFrameXSize = FFrameYSize = 0;
    FAnimMaxX = FAnimMaxY = 0;
}

void THTMLPicture::Assign(const THTMLPicture* source)
{
    Reset();
    if (!source) {
        FDatastream.clear();
        return;
    }
    if (source == this)
        return;
    LoadBytes(source->FDatastream);
    if (OnChange)
        OnChange(this);
}

void THTMLPicture::LoadBytes(const QByteArray& data)
{
    Reset();
    FDatastream = data;
    Decode();
}

void THTMLPicture::Decode()
{
    gpPicture.reset();
    FIsEmpty = true;
    if (FDatastream.isEmpty())
        throw std::runtime_error("Empty image stream created");

    FFrameXPos = FFrameYPos = FFrameXSize = FFrameYSize = 0;
    QByteArray bytes = FDatastream;
    const bool gif = IsGifData(FDatastream);
    bool framed = false;
    if (gif && FDatastream.size() >= 10) {
        FAnimMaxX = Word(FDatastream, 6);
        FAnimMaxY = Word(FDatastream, 8);
        const qsizetype first = FrameStart(FDatastream, 1, 9);
        const qsizetype selected = FrameStart(FDatastream, FFrame, 9);
        if (first >= 0 && selected >= 0) {
            // The frame's image descriptor follows its graphic-control block.
            const qsizetype desc = selected + 8;
            if (desc + 9 <= FDatastream.size()) {
                FFrameXPos = Word(FDatastream, desc + 1);
                FFrameYPos = Word(FDatastream, desc + 3);
                FFrameXSize = Word(FDatastream, desc + 5);
                FFrameYSize = Word(FDatastream, desc + 7);
                framed = true;
            }
            if (FFrame > 1)
                bytes = FDatastream.left(first) + FDatastream.mid(selected);
        }
    }

    QImage image;
    if (IsJpegData(bytes)) {
        const JpegResult result = DecodeJpeg(bytes, image);
        if (result == JpegResult::TooLarge)
            throw std::runtime_error("Could not allocate memory for image");
        if (result != JpegResult::Ok)
            throw std::runtime_error("Could not load image. Invalid format");
    } else {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::ReadOnly))
            throw std::runtime_error("Could not create image stream");
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (size.isValid() && static_cast<long long>(size.width()) * size.height() > kMaxPixels)
            throw std::runtime_error("Could not allocate memory for image");
        if (!reader.canRead() || !reader.read(&image) || image.isNull())
            throw std::runtime_error("Could not load image. Invalid format");
    }
    // An animated GIF shows the frame's own area of the logical screen.
    if (framed && CountFrames(FDatastream) > 1 && image.width() == FAnimMaxX && image.height() == FAnimMaxY) {
        const QRect frame(FFrameXPos, FFrameYPos, FFrameXSize, FFrameYSize);
        if (!frame.isEmpty() && image.rect().contains(frame))
            image = image.copy(frame);
    }
    gpPicture = std::make_unique<QImage>(std::move(image));
    FIsEmpty = false;
}

void THTMLPicture::LoadFromFile(const QString& fileName)
{
    try {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            Reset();
            FDatastream.clear();
            return;
        }
        LoadBytes(file.readAll());
    } catch (const std::exception&) {
        Reset();
        FDatastream.clear();
    }
}

void THTMLPicture::LoadFromStream(const QByteArray* data)
{
    if (data)
        LoadBytes(*data);
}

void THTMLPicture::ReadData(const QByteArray& data) { LoadBytes(data); }

void THTMLPicture::LoadFromResourceName(const QString& name)
{
    QFile resource(QStringLiteral(":/rcdata/") + name);
    if (name.isEmpty() || !resource.open(QIODevice::ReadOnly))
        return;
    LoadBytes(resource.readAll());
}

void THTMLPicture::LoadFromResourceID(int id) { LoadFromResourceName(QString::number(id)); }

void THTMLPicture::LoadFromURL(const QString& url)
{
    const QString upper = url.toUpper();
    if (upper.startsWith(QLatin1String("RES://"))) {
        FID = url;
        LoadFromResourceName(url.mid(6));
    } else if (upper.startsWith(QLatin1String("FILE://"))) {
        FID = url;
        LoadFromFile(url.mid(7));
    } else if (!FAsynch) {
        FURL = url;
        FID = url;
    } else if (!FThreadBusy) {
        // Nothing is fetched over a network: the address is only recorded.
        FURL = url;
        FThreadBusy = true;
    }
}

void THTMLPicture::Draw(TCanvas& canvas, const TRect& rect) const
{
    if (Empty())
        return;
    QPainter* p = canvas.Painter();
    if (!p)
        return;
    p->save();
    p->resetTransform();
    p->setRenderHint(QPainter::SmoothPixmapTransform, false);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (canvas.HasClip())
        p->setClipRegion(canvas.ClipRegion().ToQRegion());
    else
        p->setClipping(false);
    if (FStretched)
        p->drawImage(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), *gpPicture);
    else
        p->drawImage(QPoint(rect.Left, rect.Top), *gpPicture);
    p->restore();
}

bool THTMLPicture::Empty() const { return FIsEmpty || !gpPicture || gpPicture->isNull(); }

int THTMLPicture::Width() const { return Empty() ? 0 : gpPicture->width() * FLogPixX / 96; }

int THTMLPicture::Height() const { return Empty() ? 0 : gpPicture->height() * FLogPixY / 96; }

bool THTMLPicture::IsGIF() const { return IsGifData(FDatastream); }

int THTMLPicture::FrameCount()
{
    if (FFrameCount == -1 && IsGIF())
        FFrameCount = CountFrames(FDatastream);
    return FFrameCount;
}

bool THTMLPicture::Animated() { return FrameCount() > 1; }

int THTMLPicture::MaxWidth() { return Animated() ? FAnimMaxX : Width(); }

int THTMLPicture::MaxHeight() { return Animated() ? FAnimMaxY : Height(); }

void THTMLPicture::SetFrame(int frame)
{
    FFrame = frame;
    if (FDatastream.isEmpty())
        return;
    Decode();
    if (OnFrameChange)
        OnFrameChange(this);
}

void THTMLPicture::FrameNext()
{
    const int count = FrameCount();
    if (count < 1)
        return;
    SetFrame(FFrame >= count ? 1 : FFrame + 1);
}

void THTMLPicture::FramePrev()
{
    const int count = FrameCount();
    if (count < 1)
        return;
    SetFrame(FFrame <= 1 ? count : FFrame - 1);
}

int THTMLPicture::GetFrameTime(int frame) const
{
    const qsizetype at = FrameStart(FDatastream, frame, 8);
    if (at < 0)
        return -1;
    return Word(FDatastream, at + 4);
}

bool THTMLPicture::Step()
{
    if (Empty() || FrameCount() < 2)
        return false;
    if (FNextCount == -1)
        FNextCount = GetFrameTime(FFrame);
    bool changed = false;
    if (FTimerCount * 10 >= FNextCount) {
        FrameNext();
        FNextCount += GetFrameTime(FFrame);
        changed = true;
    }
    ++FTimerCount;
    return changed;
}

// ---------------------------------------------------------------- collections

TPictureItem::TPictureItem() : FPicture(std::make_unique<THTMLPicture>()) {}
TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(const TPictureItem& other)
{
    if (&other == this)
        return;
    FPicture->Assign(&other.Picture());
    FTag = other.FTag;
    FName = other.FName;
}

TPictureItem* TPictureCollection::Add()
{
    items_.push_back(std::make_unique<TPictureItem>());
    return items_.back().get();
}

TPictureItem* TPictureCollection::Insert(int index)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    auto it = items_.insert(items_.begin() + index, std::make_unique<TPictureItem>());
    return it->get();
}

void TPictureCollection::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    items_.erase(items_.begin() + index);
}

TPictureItem* TPictureCollection::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)].get();
}

void TPictureCollection::Assign(const TPictureCollection& other)
{
    if (&other == this)
        return;
    items_.clear();
    for (const auto& item : other.items_)
        Add()->Assign(*item);
}

bool TPictureCollection::Animate()
{
    bool changed = false;
    for (const auto& item : items_)
        changed = item->Picture().Step() || changed;
    return changed;
}

TPictureContainer::TPictureContainer() : FItems(std::make_unique<TPictureCollection>(this)) {}
TPictureContainer::~TPictureContainer() = default;

THTMLPicture* TPictureContainer::FindPicture(const QString& name)
{
    auto upper = [](const QString& s) {
        QString u = s;
        for (QChar& c : u)
            if (c >= u'a' && c <= u'z')
                c = QChar(c.unicode() - 32);
        return u;
    };
    const QString key = upper(name);
    for (int i = 0; i < FItems->Count(); ++i)
        if (upper(FItems->Items(i)->Name()) == key)
            return &FItems->Items(i)->Picture();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::AddPicture()
{
    items_.push_back(std::make_unique<THTMLPicture>());
    return items_.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const QString& key) const
{
    for (const auto& p : items_)
        if (p->ID() == key)
            return p.get();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)].get();
}

bool THTMLPictureCache::Animate()
{
    bool changed = false;
    for (const auto& p : items_)
        changed = p->Step() || changed;
    return changed;
}
