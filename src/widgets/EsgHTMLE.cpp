// Rendering of the HTML mini-language: measuring, painting and hit-testing.

#include "widgets/EsgHTMLE.h"

#include "platform/Themes.h"
#include "widgets/EsgHTMLE_Private.h"
#include "widgets/ExUtil.h"
#include "widgets/ExXPVS.h"
#include "widgets/PictureContainer.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <climits>
#include <cmath>

using namespace platform;

namespace {

using htmle::AttributeValue;
using htmle::IntOfText;
using htmle::UpperAscii;

struct ColorName
{
    const char* name;
    TColor color;
};

const ColorName kColorNames[] = {
    {"clred", clRed},
    {"clblack", clBlack},
    {"clblue", clBlue},
    {"clgreen", clGreen},
    {"claqua", clAqua},
    {"clyellow", clYellow},
    {"clfuchsia", clFuchsia},
    {"clwhite", clWhite},
    {"cllime", clLime},
    {"clsilver", clSilver},
    {"clgray", clGray},
    {"clolive", clOlive},
    {"clnavy", clNavy},
    {"clpurple", clPurple},
    {"clteal", clTeal},
    {"clmaroon", clMaroon},
    {"clbackground", SystemColor(1)},
    {"clactivecaption", SystemColor(2)},
    {"clinactivecaption", SystemColor(3)},
    {"clmenu", SystemColor(4)},
    {"clwindow", SystemColor(5)},
    {"clwindowframe", SystemColor(6)},
    {"clmenutext", SystemColor(7)},
    {"clwindowtext", SystemColor(8)},
    {"clcaptiontext", SystemColor(9)},
    {"clactiveborder", SystemColor(10)},
    {"clinactiveborder", SystemColor(11)},
    {"clappworkspace", SystemColor(12)},
    {"clhighlight", SystemColor(13)},
    {"clhighlighttext", SystemColor(14)},
    {"clbtnface", SystemColor(15)},
    {"clbtnshadow", SystemColor(16)},
    {"clgraytext", SystemColor(17)},
    {"clbtntext", SystemColor(18)},
    {"clinactivecaptiontext", SystemColor(19)},
    {"clbtnhighlight", SystemColor(20)},
    {"cl3ddkshadow", SystemColor(21)},
    {"cl3dlight", SystemColor(22)},
    {"clinfotext", SystemColor(23)},
    {"clinfobk", SystemColor(24)},
};

// Entities of text between tags, replaced in one pass: "&amp;" becomes "&&",
// which the prefix handling draws as one "&".
struct TextEntity
{
    const char* entity;
    const char16_t* text;
};
const TextEntity kTextEntities[] = {
    {"&amp;", u"&&"},   {"&quot;", u"\""}, {"&sect;", u"§"}, {"&permil;", u"‰"}, {"&reg;", u"®"}, {"&copy;", u"©"},
    {"&para;", u"¶"},   {"&trade;", u"™"}, {"&euro;", u"€"}, {"&nbsp;", u" "},   {"&lt;", u"<"},  {"&gt;", u">"},
};

QString DecodeTextEntities(const QString& s)
{
    if (!s.contains(u'&'))
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        bool done = false;
        if (s[i] == u'&') {
            for (const TextEntity& e : kTextEntities) {
                const QLatin1String name(e.entity);
                if (QStringView(s).mid(i).startsWith(name, Qt::CaseInsensitive)) {
                    out += QString::fromUtf16(e.text);
                    i += name.size();
                    done = true;
                    break;
                }
            }
        }
        if (!done)
            out += s[i++];
    }
    return out;
}

// The text as drawn with prefix handling: "&&" is one "&", a single "&" goes.
QString WithoutPrefixes(const QString& s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'&' && i + 1 < s.size())
            ++i;
        out += s[i];
    }
    return out;
}

enum class Mode { Measure, Paint, HitTest };

struct FontState
{
    QString name;
    int height = -11;
    TFontStyles style = 0;
    TColor color = clBlack;
};

struct State
{
    FontState font;
    TColor back = clNone;          // text background
    TColor fontBackSaved = clNone; // before FONT BGCOLOR
    TColor hiSavedColor = clNone;
    TColor hiSavedBack = clNone;
    bool sub = false, sup = false, hidden = false, shadow = false, errorLine = false, blink = false;
    bool inAnchor = false;
    QString href, title;
    int anchors = 0; // anchors opened so far
    int listDepth = 0;
    int align = 0; // 0 left, 1 right, 2 centre
    int indent = 0;
    TColor paraBack = clNone;
    int rotation = 0; // tenths of a degree
};

struct LineMetrics
{
    int width = 0;
    int height = 0;
    int descent = 0;
    int rise = 0;
    int drop = 0;
    int align = 0;
    int indent = 0;
    int baseShift = 0;
    bool explicitBreak = false;
};

// What a line's pass found under the hit point.
struct LineHit
{
    bool anchor = false;
    bool object = false; // a control or a picture
    QString target, title;
    TRect rect;
    int number = 0;
    QString type, value, id;
};

class Renderer
{
public:
    Renderer(TCanvas& canvas, const THTMLDrawOptions& options, const TRect& rect, TColor background,
             const FontState& start)
        : c_(canvas), o_(options), rect_(rect), background_(background), start_(start)
    {
        const unsigned base = DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING;
        format_ = o_.WordWrap ? base : base | DT_END_ELLIPSIS;
    }

    QString plain;
    QString focusTarget;

    // One line from pos: measured, painted or hit-tested. In the painting
    // passes the line ends at `limit` (where measuring ended it) and
    // `measured` holds its metrics. Returns where the next line starts.
    qsizetype RenderHTML(const QString& text, qsizetype pos, qsizetype limit, Mode mode, int originX, int top,
                         State& st, LineMetrics& m, const LineMetrics* measured, LineHit* hit);

    int TextHeightOf(const FontState& f)
    {
        ApplyFont(f, 0, f.color, 0);
        TRect r = Rect(0, 0, 1000, 100);
        return c_.DrawText(QStringLiteral("gh"), r, DT_CALCRECT | DT_SINGLELINE | DT_EXTERNALLEADING);
    }

private:
    enum class TagResult { Continue, EndLine, EndBefore };

    void ApplyFont(const FontState& f, TFontStyles extra, TColor color, int orientation)
    {
        TFont& font = c_.Font();
        font.SetName(f.name);
        font.SetHeight(f.height);
        font.SetStyle(f.style | extra);
        font.SetColor(color);
        font.SetOrientation(orientation);
    }

    bool Hovered(const State& st) const { return st.inAnchor && o_.HoverAnchor >= 0 && st.anchors == o_.HoverAnchor + 1; }

    TFontStyles ExtraStyle(const State& st) const
    {
        if (st.inAnchor && (!o_.AnchorUnderlineOnHover || Hovered(st)))
            return fsUnderline;
        return 0;
    }

    TColor TextColor(const State& st) const
    {
        if (st.blink && !o_.BlinkOn)
            return background_;
        if (st.inAnchor && !o_.KeepColors) {
            if (Hovered(st) && o_.AnchorHoverColor != clNone)
                return o_.AnchorHoverColor;
            return o_.AnchorColor;
        }
        return st.font.color;
    }

    TColor TextBack(const State& st) const
    {
        if (Hovered(st) && o_.AnchorHoverBackColor != clNone && !o_.KeepColors)
            return o_.AnchorHoverBackColor;
        return st.back;
    }

    TSize Measure(const QString& piece, const State& st)
    {
        ApplyFont(st.font, ExtraStyle(st), st.font.color, 0);
        TRect r = Rect(0, 0, 100000, 1000);
        const int h = c_.DrawText(piece, r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING);
        return TSize{r.Width(), h};
    }

    void DrawPiece(const QString& piece, const State& st, int x, int bottom, int w, int h);
    TagResult Tag(const QString& tag, State& st);
    TagResult Picture(const QString& tag, State& st);
    TagResult Control(const QString& tag, State& st);
    void Body(const QString& tag);
    void PlaceObject(const TRect& r, const State& st);
    int LineBottom() const { return top_ + (measured_ ? measured_->rise + measured_->height : 0); }
    int Available() const { return rect_.Width() - m_->indent; }
    bool Fits(int w) const { return !o_.WordWrap || x_ == 0 || x_ + w <= Available() || mode_ != Mode::Measure; }

    TCanvas& c_;
    const THTMLDrawOptions& o_;
    TRect rect_;
    TColor background_;
    FontState start_;
    unsigned format_;

    // The line being rendered.
    Mode mode_ = Mode::Measure;
    int originX_ = 0;
    int top_ = 0;
    int x_ = 0;
    LineMetrics* m_ = nullptr;
    const LineMetrics* measured_ = nullptr;
    LineHit* hit_ = nullptr;
    bool liOnLine_ = false;
    int imageAlign_ = 0; // 1 top, 2 middle
    int focusLeft_ = INT_MAX, focusRight_ = INT_MIN;
};

void Renderer::DrawPiece(const QString& piece, const State& st, int x, int bottom, int w, int h)
{
    const TColor back = TextBack(st);
    if (back != clNone)
        DrawSolidFill(c_, back, Rect(x, bottom - h, x + w, bottom));
    c_.Brush().SetStyle(bsClear);
    int right = x + w;
    if (!o_.WordWrap)
        right = std::min(right, rect_.Right);
    if (right <= x)
        return;
    auto draw = [&](int dx, int dy, TColor color) {
        ApplyFont(st.font, ExtraStyle(st), color, st.rotation);
        if (st.rotation != 0) {
            c_.TextOut(x + dx, bottom - h + dy, WithoutPrefixes(piece));
        } else {
            TRect r = Rect(x + dx, bottom - h + dy, right + dx, bottom + dy);
            c_.DrawText(piece, r, format_);
        }
    };
    if (st.shadow)
        draw(o_.ShadowOffset, o_.ShadowOffset, o_.ShadowColor);
    draw(0, 0, TextColor(st));
    if (st.errorLine) {
        c_.Pen().SetStyle(psSolid);
        c_.Pen().SetWidth(1);
        c_.Pen().SetColor(clRed);
        c_.MoveTo(x, bottom - 1);
        bool up = true;
        for (int px = x + 2; px <= right; px += 2) {
            c_.LineTo(px, bottom - 1 - (up ? 2 : 0));
            up = !up;
        }
    }
}

qsizetype Renderer::RenderHTML(const QString& text, qsizetype pos, qsizetype limit, Mode mode, int originX, int top,
                               State& st, LineMetrics& m, const LineMetrics* measured, LineHit* hit)
{
    mode_ = mode;
    originX_ = originX;
    top_ = top;
    x_ = 0;
    m = LineMetrics{};
    m.align = st.align;
    m.indent = st.indent;
    m_ = &m;
    measured_ = measured;
    hit_ = hit;
    liOnLine_ = false;
    imageAlign_ = 0;
    focusLeft_ = INT_MAX;
    focusRight_ = INT_MIN;
    const int ghHeight = TextHeightOf(st.font);
    m.height = ghHeight;
    bool lastBlank = false;
    int lastBlankWidth = 0;

    if (mode == Mode::Paint && st.paraBack != clNone && measured)
        DrawSolidFill(c_, st.paraBack,
                      Rect(rect_.Left, top, rect_.Right, top + measured->height + measured->rise + measured->drop));

    while (pos < limit) {
        if (text[pos] == u'<') {
            const qsizetype close = text.indexOf(u'>', pos);
            if (close < 0 || close >= limit) {
                pos = limit; // a tag without its ">" ends the text
                break;
            }
            const int before = x_;
            const TagResult r = Tag(text.mid(pos + 1, close - pos - 1), st);
            if (r == TagResult::EndBefore)
                break;
            if (x_ != before) {
                // A picture, control or indent after a blank: the line no
                // longer ends with that blank.
                lastBlank = false;
                lastBlankWidth = 0;
            }
            pos = close + 1;
            if (r == TagResult::EndLine) {
                m.explicitBreak = true;
                break;
            }
            continue;
        }
        qsizetype end = text.indexOf(u'<', pos);
        if (end < 0 || end > limit)
            end = limit;
        if (o_.WordWrap) {
            const qsizetype blank = text.indexOf(u' ', pos);
            if (blank >= 0 && blank < end)
                end = blank + 1;
        }
        const QString piece = DecodeTextEntities(text.mid(pos, end - pos));
        if (st.hidden || piece.isEmpty()) {
            pos = end;
            continue;
        }
        const TSize size = Measure(piece, st);
        // A piece that does not fit goes to the next line, unless it would
        // not fit there either or it continues the word before it.
        if (mode == Mode::Measure && o_.WordWrap && x_ > 0 && x_ + size.cx > Available() &&
            size.cx <= Available() && lastBlank)
            break;
        m.height = std::max(m.height, size.cy);
        if (st.sub)
            m.drop = std::max(m.drop, size.cy / 4);
        if (st.sup)
            m.rise = std::max(m.rise, size.cy / 4);
        if (mode != Mode::Measure && measured) {
            int bottom = LineBottom() - measured->baseShift;
            if (st.sup)
                bottom -= size.cy / 4;
            if (st.sub)
                bottom += size.cy / 4;
            const int px = originX + x_;
            if (mode == Mode::Paint) {
                DrawPiece(piece, st, px, bottom, size.cx, size.cy);
            } else if (hit && st.inAnchor && !hit->object) {
                const TPoint& p = o_.HitPoint;
                if (p.X >= px && p.X < px + size.cx && p.Y >= top && p.Y < LineBottom() + measured->drop) {
                    hit->anchor = true;
                    hit->target = st.href;
                    hit->title = st.title;
                    hit->rect = Rect(px, bottom - size.cy, px + size.cx, bottom);
                    hit->number = st.anchors;
                }
            }
            if (st.inAnchor && o_.FocusAnchor >= 0 && st.anchors == o_.FocusAnchor + 1) {
                focusLeft_ = std::min(focusLeft_, px);
                focusRight_ = std::max(focusRight_, px + size.cx);
                focusTarget = st.href;
            }
        } else if (mode == Mode::Measure) {
            plain += WithoutPrefixes(piece);
            if (st.inAnchor && o_.FocusAnchor >= 0 && st.anchors == o_.FocusAnchor + 1)
                focusTarget = st.href;
        }
        x_ += size.cx;
        lastBlank = piece.endsWith(u' ');
        lastBlankWidth = lastBlank ? Measure(QStringLiteral(" "), st).cx : 0;
        pos = end;
    }
    m.width = std::max(0, x_ - lastBlankWidth);
    if (mode == Mode::Measure) {
        if (imageAlign_ == 1)
            m.baseShift = std::max(0, m.height - ghHeight);
        else if (imageAlign_ == 2)
            m.baseShift = std::max(0, m.height - ghHeight) / 2;
        if (m.explicitBreak)
            plain += QLatin1Char('\r');
    }
    if (mode == Mode::Paint && focusLeft_ < focusRight_ && measured) {
        const int bottom = LineBottom() - measured->baseShift;
        c_.DrawFocusRect(Rect(focusLeft_ - 1, bottom - ghHeight, focusRight_ + 1, bottom));
    }
    return pos;
}

Renderer::TagResult Renderer::Tag(const QString& tag, State& st)
{
    const bool closing = tag.startsWith(u'/');
    const QString name = UpperAscii(closing ? tag.mid(1) : tag);
    if (name.isEmpty())
        return TagResult::Continue;
    const QChar c0 = name[0];
    const QChar c1 = name.size() > 1 ? name[1] : QChar();
    const bool keep = o_.KeepColors;

    if (closing) {
        switch (c0.unicode()) {
        case u'A': st.inAnchor = false; break;
        case u'B':
            if (name == QLatin1String("B")) {
                st.font.style &= ~fsBold;
            } else {
                st.blink = false;
                st.font.color = start_.color;
            }
            break;
        case u'E': st.errorLine = false; break;
        case u'F':
            st.font.name = start_.name;
            st.font.height = start_.height;
            st.font.color = start_.color;
            st.back = st.fontBackSaved;
            break;
        case u'H':
            st.font.color = st.hiSavedColor == clNone ? st.font.color : st.hiSavedColor;
            st.back = st.hiSavedBack;
            break;
        case u'I': st.font.style &= ~fsItalic; break;
        case u'L': return TagResult::EndLine;
        case u'P':
            st.paraBack = clNone;
            st.align = 0;
            st.indent = 0;
            return TagResult::EndLine;
        case u'R': st.rotation = 0; break;
        case u'S':
            if (c1 == u'U')
                st.sub = st.sup = false;
            else if (c1 == u'H')
                st.shadow = false;
            else
                st.font.style &= ~fsStrikeOut;
            break;
        case u'U':
            if (name == QLatin1String("U") || st.listDepth == 0)
                st.font.style &= ~fsUnderline;
            else
                st.listDepth = std::max(0, st.listDepth - 1);
            break;
        case u'Z': st.hidden = false; break;
        default: break;
        }
        return TagResult::Continue;
    }

    switch (c0.unicode()) {
    case u'A':
        st.inAnchor = true;
        ++st.anchors;
        st.href.clear();
        st.title.clear();
        if (AttributeValue(tag, QStringLiteral("HREF"), st.href))
            st.href = DecodeHTMLEntities(st.href, false);
        if (AttributeValue(tag, QStringLiteral("TITLE"), st.title))
            st.title = DecodeHTMLEntities(st.title, false);
        break;
    case u'B':
        if (name == QLatin1String("B"))
            st.font.style |= fsBold;
        else if (c1 == u'R')
            return TagResult::EndLine;
        else if (c1 == u'L')
            st.blink = true;
        else if (c1 == u'O' && mode_ == Mode::Paint)
            Body(tag);
        break;
    case u'C': return Control(tag, st);
    case u'E': st.errorLine = true; break;
    case u'F': {
        QString v;
        if (AttributeValue(tag, QStringLiteral("FACE"), v) && !v.isEmpty())
            st.font.name = v;
        if (!keep && AttributeValue(tag, QStringLiteral("COLOR"), v))
            st.font.color = HTMLColor(v);
        if (!keep && AttributeValue(tag, QStringLiteral("BGCOLOR"), v)) {
            st.fontBackSaved = st.back;
            st.back = HTMLColor(v);
        }
        if (AttributeValue(tag, QStringLiteral("SIZE"), v)) {
            const int size = IntOfText(v, 0);
            static const int kSizes[] = {8, 10, 12, 14, 16};
            const int points = size >= 1 && size <= 5 ? kSizes[size - 1] : size;
            if (points > 0 && points <= 1000) {
                TFont f;
                f.SetSize(points);
                st.font.height = f.Height();
            }
        }
        break;
    }
    case u'H':
        if (c1 == u'R') {
            if (mode_ == Mode::Paint && measured_) {
                const int y = top_ + measured_->height + measured_->rise + measured_->drop;
                c_.Pen().SetStyle(psSolid);
                c_.Pen().SetWidth(1);
                c_.Pen().SetColor(clBlack);
                c_.MoveTo(rect_.Left, y);
                c_.LineTo(rect_.Right, y);
            }
            return TagResult::EndLine;
        }
        if (c1 == u'I' && !keep) {
            st.hiSavedColor = st.font.color;
            st.hiSavedBack = st.back;
            st.back = HighlightBackColor();
            st.font.color = HighlightTextColor();
        }
        break;
    case u'I':
        if (name == QLatin1String("I")) {
            st.font.style |= fsItalic;
        } else if (c1 == u'N') {
            QString v;
            if (AttributeValue(tag, QStringLiteral("X"), v))
                x_ = std::max(x_, IntOfText(v, x_));
        } else if (c1 == u'M') {
            return Picture(tag, st);
        }
        break;
    case u'L': {
        if (liOnLine_ && x_ > 0 && mode_ == Mode::Measure)
            return TagResult::EndBefore;
        liOnLine_ = true;
        const int indent = st.listDepth * 12;
        if (mode_ == Mode::Paint && indent >= 12 && measured_) {
            FontState symbol = st.font;
            symbol.name = QStringLiteral("Symbol");
            ApplyFont(symbol, 0, TextColor(st), 0);
            c_.Brush().SetStyle(bsClear);
            TRect r = Rect(originX_ + indent - 12, top_, originX_ + indent, LineBottom() - measured_->baseShift);
            c_.DrawText(st.listDepth % 2 == 1 ? QStringLiteral("·") : QStringLiteral("o"), r,
                        DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
        }
        x_ = std::max(x_, indent);
        break;
    }
    case u'P': {
        QString v;
        if (AttributeValue(tag, QStringLiteral("ALIGN"), v)) {
            v = UpperAscii(v);
            const int align = v.contains(QLatin1String("RIGHT")) ? 1 : v.contains(QLatin1String("CENTER")) ? 2 : 0;
            st.align = m_->align = align;
        }
        if (AttributeValue(tag, QStringLiteral("INDENT"), v))
            st.indent = m_->indent = std::max(0, IntOfText(v, 0));
        if (!keep && AttributeValue(tag, QStringLiteral("BGCOLOR"), v)) {
            st.paraBack = HTMLColor(v);
            if (mode_ == Mode::Paint && measured_)
                DrawSolidFill(c_, st.paraBack,
                              Rect(originX_ + x_, top_, rect_.Right,
                                   top_ + measured_->height + measured_->rise + measured_->drop));
        }
        break;
    }
    case u'R': {
        QString v;
        if (AttributeValue(tag, QStringLiteral("A"), v))
            st.rotation = std::clamp(IntOfText(v, 0), -3600, 3600) * 10;
        break;
    }
    case u'S':
        if (name == QLatin1String("S"))
            st.font.style |= fsStrikeOut;
        else if (c1 == u'H')
            st.shadow = true;
        else if (name == QLatin1String("SUB"))
            st.sub = true;
        else if (name == QLatin1String("SUP"))
            st.sup = true;
        break;
    case u'U':
        if (name == QLatin1String("U")) {
            st.font.style |= fsUnderline;
        } else {
            st.listDepth = std::min(st.listDepth + 1, 1000);
            return TagResult::EndLine;
        }
        break;
    case u'Z': st.hidden = true; break;
    default: break;
    }
    return TagResult::Continue;
}

void Renderer::PlaceObject(const TRect& r, const State& st)
{
    if (!hit_ || mode_ != Mode::HitTest || !PtInRect(r, o_.HitPoint))
        return;
    hit_->object = true;
    if (st.inAnchor) {
        hit_->anchor = true;
        hit_->target = st.href;
        hit_->title = st.title;
        hit_->rect = r;
        hit_->number = st.anchors;
    }
}

Renderer::TagResult Renderer::Picture(const QString& tag, State& st)
{
    QString src, v;
    AttributeValue(tag, QStringLiteral("SRC"), src);
    const QString upperSrc = UpperAscii(src);
    int width = -1, height = -1;
    if (AttributeValue(tag, QStringLiteral("WIDTH"), v))
        width = IntOfText(v, -1);
    if (AttributeValue(tag, QStringLiteral("HEIGHT"), v))
        height = IntOfText(v, -1);
    int align = 0;
    if (AttributeValue(tag, QStringLiteral("ALIGN"), v)) {
        v = UpperAscii(v);
        align = v == QLatin1String("TOP") ? 1 : v == QLatin1String("MIDDLE") ? 2 : 0;
    }

    // What to draw and its own size.
    int imageIndex = -1;
    int shellSize = 0;
    THTMLPicture* picture = nullptr;
    int w0 = 0, h0 = 0;
    if (upperSrc.startsWith(QLatin1String("IDX:"))) {
        const int n = IntOfText(src.mid(4), -1);
        if (o_.Images && n >= 0 && n < o_.Images->Count()) {
            imageIndex = n;
            w0 = o_.Images->Width();
            h0 = o_.Images->Height();
            if (o_.PictureScale > 0) {
                w0 = static_cast<int>(std::lround(w0 * o_.PictureScale));
                h0 = static_cast<int>(std::lround(h0 * o_.PictureScale));
            }
        }
    } else if (upperSrc.startsWith(QLatin1String("SSYS:")) || upperSrc.startsWith(QLatin1String("LSYS:"))) {
        // The desktop's shell icons are not there: a generic page of their size.
        shellSize = upperSrc[0] == u'S' ? 16 : 32;
        w0 = h0 = shellSize;
    } else if (src.contains(QLatin1String("://"))) {
        if (o_.PictureCache) {
            picture = o_.PictureCache->FindPicture(src);
            if (!picture) {
                picture = o_.PictureCache->AddPicture();
                try {
                    picture->LoadFromURL(src);
                } catch (const std::exception&) {
                    // A picture that does not decode takes no room.
                }
            }
        }
    } else if (!src.contains(u':') && o_.PictureContainer) {
        picture = o_.PictureContainer->FindPicture(src);
    }
    if (picture && !picture->Empty()) {
        w0 = picture->MaxWidth();
        h0 = picture->MaxHeight();
    } else if (picture) {
        picture = nullptr;
    }
    if (w0 <= 0 || h0 <= 0)
        return TagResult::Continue;

    bool stretched = false;
    int w = w0, h = h0;
    if (width > 0 && height > 0) {
        w = width;
        h = height;
        stretched = true;
    } else if (width > 0) {
        w = width;
        h = static_cast<int>(std::lround(static_cast<double>(width) * h0 / w0));
        stretched = true;
    } else if (height > 0) {
        h = height;
        w = static_cast<int>(std::lround(static_cast<double>(height) * w0 / h0));
        stretched = true;
    }
    // Layout sizes follow the device resolution over 96 dots per inch.
    w = w * PixelsPerInch / 96;
    h = h * PixelsPerInch / 96;
    if (w <= 0 || h <= 0)
        return TagResult::Continue;
    if (!Fits(w))
        return TagResult::EndBefore;
    m_->height = std::max(m_->height, h);
    if (align != 0)
        imageAlign_ = align;

    if (mode_ != Mode::Measure && measured_) {
        const TRect r = Bounds(originX_ + x_, LineBottom() - h, w, h);
        if (mode_ == Mode::Paint) {
            if (imageIndex >= 0) {
                const QImage* img = o_.Images->ImageAt(imageIndex);
                QPainter* p = c_.Painter();
                if (img && p) {
                    p->save();
                    p->resetTransform();
                    if (c_.HasClip())
                        p->setClipRegion(c_.ClipRegion().ToQRegion());
                    else
                        p->setClipping(false);
                    p->drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), *img);
                    p->restore();
                }
            } else if (shellSize > 0) {
                DrawSolidFill(c_, clWhite, Rect(r.Left + 2, r.Top, r.Right - 2, r.Bottom));
                c_.Brush().SetColor(clGray);
                c_.FrameRect(Rect(r.Left + 2, r.Top, r.Right - 2, r.Bottom));
            } else if (picture) {
                if (stretched) {
                    const bool was = picture->Stretch();
                    picture->SetStretch(true);
                    picture->Draw(c_, r);
                    picture->SetStretch(was);
                } else {
                    if (picture->FrameCount() > 1)
                        DrawSolidFill(c_, background_, r);
                    picture->Draw(c_, Bounds(r.Left + picture->FrameXPos(), r.Top + picture->FrameYPos(), w, h));
                }
            }
        }
        PlaceObject(r, st);
    }
    x_ += w;
    return TagResult::Continue;
}

Renderer::TagResult Renderer::Control(const QString& tag, State& st)
{
    const THTMLControlTag t = ParseHTMLControlTag(QLatin1Char('<') + tag + QLatin1Char('>'));
    const int heightAttr = IntOfText(t.Height, 25);
    const int ghHeight = TextHeightOf(st.font);
    const bool checkOrRadio = t.Type == QLatin1String("CHECK") || t.Type == QLatin1String("RADIO");
    int w = checkOrRadio ? 16 : std::max(0, IntOfText(t.Width, 0));
    int h = 0;
    if (checkOrRadio)
        h = 16;
    else if (t.Type == QLatin1String("BUTTON"))
        h = heightAttr;
    else if (t.Type == QLatin1String("COMBO"))
        h = 25;
    else
        h = ghHeight + 10;
    if (!Fits(w))
        return TagResult::EndBefore;
    const int lineHeight = checkOrRadio ? 16 : (heightAttr > 25 ? heightAttr - 2 : 23);
    m_->height = std::max(m_->height, lineHeight);

    if (mode_ != Mode::Measure && measured_) {
        const TRect r = Bounds(originX_ + x_, top_, w, h);
        const bool hot = PtInRect(r, o_.HitPoint);
        if (mode_ == Mode::HitTest && hot && hit_) {
            hit_->object = true;
            hit_->anchor = false;
            hit_->target = QStringLiteral("ctrl");
            hit_->rect = r;
            hit_->type = t.Type;
            hit_->value = t.Value;
            hit_->id = t.ID;
        }
        if (mode_ == Mode::Paint) {
            const bool themed = ExXPVS::ThemesAvailable();
            const bool isChecked = UpperAscii(t.Value) == QLatin1String("TRUE");
            auto drawThemed = [&](const char* cls, int part, int state, const TRect& box) {
                if (!themed)
                    return false;
                HTHEME theme = ExXPVS::OpenThemeData(o_.Window, QString::fromLatin1(cls));
                const bool ok = ExXPVS::DrawThemeBackground(theme, c_, part, state, box);
                ExXPVS::CloseThemeData(theme);
                return ok;
            };
            TFont saved = c_.Font();
            ApplyFont(st.font, 0, clBlack, 0);
            if (t.Type == QLatin1String("CHECK")) {
                const TRect box = Bounds(r.Left + 2, r.Top + (16 - 13) / 2, 13, 13);
                const int state = isChecked ? (hot ? CBS_CHECKEDHOT : CBS_CHECKEDNORMAL)
                                            : (hot ? CBS_UNCHECKEDHOT : CBS_UNCHECKEDNORMAL);
                if (!drawThemed("button", BP_CHECKBOX, state, box))
                    DrawFrameControl(c_, box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (isChecked ? DFCS_CHECKED : 0u));
            } else if (t.Type == QLatin1String("RADIO")) {
                const TRect box = Bounds(r.Left + 2, r.Top + (16 - 12) / 2, 12, 12);
                const int state = isChecked ? (hot ? RBS_CHECKEDHOT : RBS_CHECKEDNORMAL)
                                            : (hot ? RBS_UNCHECKEDHOT : RBS_UNCHECKEDNORMAL);
                if (!drawThemed("button", BP_RADIOBUTTON, state, box))
                    DrawFrameControl(c_, box, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_FLAT | (isChecked ? DFCS_CHECKED : 0u));
            } else if (t.Type == QLatin1String("BUTTON")) {
                const TRect box = Rect(r.Left + 2, r.Top, r.Right - 2, r.Bottom);
                const bool pressed = hot && o_.ControlPressed;
                const int state = pressed ? PBS_PRESSED : hot ? PBS_HOT : PBS_NORMAL;
                if (!drawThemed("button", BP_PUSHBUTTON, state, box))
                    DrawFrameControl(c_, box, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
                c_.Brush().SetStyle(bsClear);
                TRect tr = box;
                c_.DrawText(t.Value, tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            } else {
                // EDIT, PASSWORD, MASK and COMBO: a white box under the line's top.
                const TRect box = Rect(r.Left, r.Top + 2, r.Right, r.Top + 2 + std::max(0, h - 4));
                DrawSolidFill(c_, clWhite, box);
                c_.Brush().SetColor(themed ? 0xB99D7F : 0x808080);
                c_.FrameRect(box);
                const bool combo = t.Type == QLatin1String("COMBO");
                QString shown = t.Value;
                if (t.Type == QLatin1String("PASSWORD"))
                    shown = QString(t.Value.size(), u'*');
                TRect tr = Rect(box.Left + (combo ? 4 : 2), box.Top, box.Right - (combo ? 18 : 2), box.Bottom);
                c_.Brush().SetStyle(bsClear);
                c_.DrawText(shown, tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                if (combo) {
                    const TRect button = Rect(box.Right - 18, box.Top + 1, box.Right - 1, box.Bottom - 1);
                    if (!drawThemed("combobox", CP_DROPDOWNBUTTON, hot ? CBXS_HOT : CBXS_NORMAL, button))
                        DrawFrameControl(c_, button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX);
                }
            }
            c_.SetFont(saved);
        }
    }
    x_ += w;
    return TagResult::Continue;
}

void Renderer::Body(const QString& tag)
{
    QString v;
    if (!o_.KeepColors && AttributeValue(tag, QStringLiteral("BGCOLOR"), v)) {
        const QString upper = UpperAscii(v);
        if (upper.contains(QLatin1String("CL")) || upper.contains(u'#'))
            DrawSolidFill(c_, HTMLColor(v), rect_);
    }
    if (!AttributeValue(tag, QStringLiteral("BACKGROUND"), v) || v.isEmpty())
        return;
    THTMLPicture* picture = nullptr;
    if (v.contains(QLatin1String("://"))) {
        if (o_.PictureCache) {
            picture = o_.PictureCache->FindPicture(v);
            if (!picture) {
                picture = o_.PictureCache->AddPicture();
                try {
                    picture->LoadFromURL(v);
                } catch (const std::exception&) {
                }
            }
        }
    } else if (o_.PictureContainer) {
        picture = o_.PictureContainer->FindPicture(v);
    }
    if (!picture || picture->Empty() || picture->Width() <= 0 || picture->Height() <= 0)
        return;
    const bool hadClip = c_.HasClip();
    const TRegion saved = c_.ClipRegion();
    c_.IntersectClipRect(rect_);
    for (int y = rect_.Top; y < rect_.Bottom; y += picture->Height())
        for (int x = rect_.Left; x < rect_.Right; x += picture->Width())
            picture->Draw(c_, Bounds(x, y, picture->Width(), picture->Height()));
    if (hadClip)
        c_.SetClipRegion(saved);
    else
        c_.RemoveClip();
}

// Where the mark-up's literals and line breaks are made tags or kept text.
QString Prepare(const QString& text)
{
    QString s = text;
    // "<#...>" is a literal text starting with "#".
    qsizetype at = 0;
    while ((at = s.indexOf(QLatin1String("<#"), at)) >= 0) {
        const qsizetype close = s.indexOf(u'>', at + 1);
        if (close >= 0)
            s.remove(close, 1);
        s.remove(at, 1);
    }
    s.replace(QLatin1Char('\r'), QLatin1String("<BR>"));
    s.remove(QLatin1Char('\n'));
    return s;
}

} // namespace

TColor HTMLColor(const QString& value)
{
    const QString v = value.trimmed();
    if (v.startsWith(u'#')) {
        bool ok = false;
        const unsigned rgb = v.mid(1, 6).toUInt(&ok, 16);
        if (!ok || v.size() < 7)
            return clBlack;
        return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    const QString lower = v.toLower();
    for (const ColorName& n : kColorNames)
        if (lower == QLatin1String(n.name))
            return n.color;
    return clBlack;
}

bool DrawHTMLText(TCanvas& canvas, const QString& text, const TRect& rect, const THTMLDrawOptions& options,
                  THTMLDrawResult& result)
{
    result = THTMLDrawResult{};
    const TPen savedPen = canvas.Pen();
    const TBrush savedBrush = canvas.Brush();
    const TFont savedFont = canvas.Font();
    const TColor background = savedBrush.Color();
    canvas.Brush().SetStyle(bsClear);

    FontState start;
    start.name = savedFont.Name();
    start.height = savedFont.Height();
    start.style = savedFont.Style();
    start.color = savedFont.Color();

    Renderer renderer(canvas, options, rect, background, start);
    const QString s = Prepare(text);
    State st;
    st.font = start;
    const int ghHeight = renderer.TextHeightOf(start);
    const bool measureOnly = options.MeasureOnly;
    const Mode pass = options.HitTest ? Mode::HitTest : Mode::Paint;

    bool hit = false;
    int y = rect.Top;
    int widest = 0;
    qsizetype pos = 0;
    while (pos < s.size()) {
        const State lineStart = st;
        LineMetrics m;
        qsizetype next = renderer.RenderHTML(s, pos, s.size(), Mode::Measure, 0, y, st, m, nullptr, nullptr);
        if (next <= pos)
            next = pos + 1; // never stand still on a line that takes nothing
        int left = rect.Left;
        int align = m.align;
        if (options.RightToLeft && align != 2)
            align = 1 - align; // right-to-left swaps left and right
        if (align == 1) {
            if (rect.Right - m.width > left)
                left = rect.Right - m.width;
        } else if (align == 2) {
            left = rect.Left + std::max(0, (rect.Width() - m.width) / 2);
        }
        left += m.indent;
        const int lineHeight = m.height + m.drop + m.rise;

        if (!measureOnly && y <= rect.Bottom) {
            State again = lineStart;
            LineMetrics painted;
            LineHit lineHit;
            renderer.RenderHTML(s, pos, next, pass, left, y, again, painted, &m, &lineHit);
            if (pass == Mode::HitTest && (lineHit.anchor || lineHit.object) && !hit) {
                // Anchor text counts within the line's text band only.
                const int bandBottom = y + m.rise + m.height - m.baseShift;
                const bool inBand = options.HitPoint.Y < bandBottom + m.drop &&
                                    options.HitPoint.Y >= bandBottom - ghHeight - m.rise;
                if (lineHit.object || inBand) {
                    hit = true;
                    result.AnchorTarget = lineHit.target;
                    result.AnchorTitle = lineHit.title;
                    if (lineHit.anchor) {
                        result.AnchorRect = lineHit.rect;
                        result.AnchorNumber = lineHit.number;
                    }
                    if (!lineHit.type.isEmpty() || lineHit.target == QLatin1String("ctrl")) {
                        result.ControlRect = lineHit.rect;
                        result.ControlType = lineHit.type;
                        result.ControlValue = lineHit.value;
                        result.ControlID = lineHit.id;
                    }
                }
            }
        }
        widest = std::max(widest, m.width);
        y += lineHeight;
        pos = next;
    }
    result.PlainText = renderer.plain;
    if (result.PlainText.endsWith(QLatin1Char('\r')))
        result.PlainText.chop(1);
    result.FocusAnchorTarget = renderer.focusTarget;
    result.Width = widest;
    result.Height = std::max(y - rect.Top, ghHeight);

    canvas.Pen() = savedPen;
    canvas.Brush() = savedBrush;
    canvas.SetFont(savedFont);
    return hit;
}
