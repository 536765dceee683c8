#pragma once

// Pictures for the HTML mini-language: a picture that keeps the raw bytes of
// an image file and can show single frames of an animated GIF, a container
// of named pictures and the cache of pictures loaded by address.

#include "platform/Graphics.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QImage;

// A picture kept as the bytes of its file (BMP, JPEG, GIF, PNG, ICO ...).
// Decoding failures raise std::runtime_error with one of the messages
// "Could not allocate memory for image", "Could not create image stream",
// "Empty image stream created", "Could not load image. Invalid format" and
// "Could not load image".
class THTMLPicture
{
public:
    THTMLPicture();
    ~THTMLPicture();
    THTMLPicture(const THTMLPicture&) = delete;
    THTMLPicture& operator=(const THTMLPicture&) = delete;

    // Resets the picture; another picture's data is then taken and decoded
    // and OnChange runs. nullptr leaves it empty.
    void Assign(const THTMLPicture* source);

    // Any failure leaves the picture empty, without an error.
    void LoadFromFile(const QString& fileName);
    // nullptr does nothing.
    void LoadFromStream(const QByteArray* data);
    // The program's raw-data resources (":/rcdata/NAME"). Nothing when absent.
    void LoadFromResourceName(const QString& name);
    void LoadFromResourceID(int id);
    // "RES://name" and "FILE://path" (any case) load and set ID to the
    // address; any other address is only recorded, nothing is fetched.
    void LoadFromURL(const QString& url);
    void SaveToStream(QByteArray& out) const { out = FDatastream; }
    void WriteData(QByteArray& out) const { out = FDatastream; }
    void ReadData(const QByteArray& data);

    // Nothing for an empty picture. Stretched into rect, or at its own size at
    // rect's top-left.
    void Draw(platform::TCanvas& canvas, const platform::TRect& rect) const;

    bool Empty() const;
    int Width() const;
    int Height() const;
    // The decoded picture of the frame shown; nullptr when there is none.
    const QImage* Image() const { return gpPicture.get(); }

    bool Stretch() const { return FStretched; }
    void SetStretch(bool v) { FStretched = v; }
    QString ID() const { return FID; }
    void SetID(const QString& id) { FID = id; }
    QString URL() const { return FURL; }
    bool IsDB() const { return FIsDB; }
    void SetIsDB(bool v) { FIsDB = v; }
    bool Asynch() const { return FAsynch; }
    void SetAsynch(bool v) { FAsynch = v; }
    bool Busy() const { return FThreadBusy; }

    // Animated GIFs: frames counted from 1.
    int Frame() const { return FFrame; }
    void SetFrame(int frame);
    // -1 for data that is not a GIF.
    int FrameCount();
    bool IsGIF() const;
    // The GIF's logical screen for an animated GIF, else the picture's size.
    int MaxWidth();
    int MaxHeight();
    int FrameXPos() const { return FFrameXPos; }
    int FrameYPos() const { return FFrameYPos; }
    void FrameNext();
    void FramePrev();
    // One animation tick of a tenth of a second; true when the frame changed.
    bool Step();
    // The delay of a frame in hundredths of a second, -1 when there is none.
    int GetFrameTime(int frame) const;

    std::function<void(THTMLPicture* sender)> OnChange;
    std::function<void(THTMLPicture* sender)> OnFrameChange;

private:
    void Reset();
    void Decode();
    void LoadBytes(const QByteArray& data);
    bool Animated();

    QByteArray FDatastream;
    bool FIsEmpty = true;
    bool FStretched = false;
    std::unique_ptr<QImage> gpPicture;
    int FLogPixX = 96;
    int FLogPixY = 96;
    QString FURL;
    QString FID;
    bool FIsDB = false;
    bool FAsynch = true;
    bool FThreadBusy = false;
    int FFrame = 1;
    int FFrameCount = -1;
    int FFrameXPos = 0, FFrameYPos = 0, FFrameXSize = 0, FFrameYSize = 0;
    int FAnimMaxX = 0, FAnimMaxY = 0;
    int FNextCount = -1;
    int FTimerCount = -1;
};

class TPictureItem
{
public:
    TPictureItem();
    ~TPictureItem();
    THTMLPicture& Picture() { return *FPicture; }
    const THTMLPicture& Picture() const { return *FPicture; }
    // Copies the given picture.
    void SetPicture(const THTMLPicture& picture) { FPicture->Assign(&picture); }
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }
    QString Name() const { return FName; }
    void SetName(const QString& name) { FName = name; }
    void Assign(const TPictureItem& other);

private:
    std::unique_ptr<THTMLPicture> FPicture;
    int FTag = 0;
    QString FName;
};

class TPictureContainer;

class TPictureCollection
{
public:
    explicit TPictureCollection(TPictureContainer* owner = nullptr) : owner_(owner) {}
    TPictureContainer* Owner() const { return owner_; }
    TPictureItem* Add();
    // Index 0..Count; outside throws std::out_of_range.
    TPictureItem* Insert(int index);
    void Delete(int index);
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    TPictureItem* Items(int index) const;
    // Copies the items of another collection.
    void Assign(const TPictureCollection& other);
    bool Animate();

private:
    TPictureContainer* owner_;
    std::vector<std::unique_ptr<TPictureItem>> items_;
};

// Named pictures for <IMG SRC="name">. A QObject so that whoever keeps a
// reference hears when the container goes (destroyed).
class TPictureContainer : public QObject
{
public:
    TPictureContainer();
    virtual ~TPictureContainer();
    TPictureCollection& Items() { return *FItems; }
    // Takes the given collection's items.
    void SetItems(const TPictureCollection& items) { FItems->Assign(items); }
    // The picture of the first item whose name equals `name` regardless of
    // the case of the letters a to z; nullptr when none does.
    virtual THTMLPicture* FindPicture(const QString& name);

private:
    std::unique_ptr<TPictureCollection> FItems;
};

// The pictures a grid loaded by address; it owns them.
class THTMLPictureCache
{
public:
    THTMLPictureCache() = default;
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;
    // A new empty picture, appended.
    THTMLPicture* AddPicture();
    // The first picture whose ID equals the key exactly.
    THTMLPicture* FindPicture(const QString& key) const;
    void ClearPictures() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    THTMLPicture* Items(int index) const;
    bool Animate();

private:
    std::vector<std::unique_ptr<THTMLPicture>> items_;
};
