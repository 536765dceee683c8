#include "widgets/RtfText.h"

#include "platform/TextCodec.h"

#include <algorithm>
#include <array>
#include <climits>

using namespace platform;

namespace {

// Limits that keep any input cheap to read.
constexpr int kMaxDepth = 256;      // deeper groups are read flat
constexpr int kMaxTableSize = 4096; // fonts and colours
constexpr int kMaxWordLength = 32;

const std::array<QChar, 256>& Codepage1252()
{
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t{};
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = static_cast<char>(b);
        const QString decoded = DecodeWindows1252(all);
        for (int b = 0; b < 256; ++b)
            t[static_cast<size_t>(b)] = b < decoded.size() ? decoded[b] : QChar(u'?');
        return t;
    }();
    return table;
}

enum class Dest { Text, FontTable, ColorTable, Skip };

struct Format
{
    TFontStyles style = 0;
    int halfPoints = 24;
    int font = -1; // -1: the document's default font
    int color = 0;
};

struct Group
{
    Format format;
    Dest dest = Dest::Text;
    int uc = 1;
    bool starred = false; // "{\*": an unknown destination is skipped
};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

class Reader
{
public:
    Reader(const QByteArray& in, TRtfDocument& doc) : in_(in), doc_(doc)
    {
        doc_.Paragraphs.emplace_back();
        stack_.emplace_back();
    }

    void Run()
    {
        const qsizetype n = in_.size();
        while (i_ < n && !done_) {
            const char c = in_[i_];
            if (c == '{') {
                ++i_;
                OpenGroup();
            } else if (c == '}') {
                ++i_;
                CloseGroup();
            } else if (c == '\\') {
                ++i_;
                Control();
            } else if (c == '\r' || c == '\n') {
                ++i_;
            } else {
                ++i_;
                Byte(static_cast<unsigned char>(c));
            }
        }
        // A closing paragraph mark leaves an empty last paragraph: it is not a line.
        if (doc_.Paragraphs.size() > 1 && doc_.Paragraphs.back().Runs.empty())
            doc_.Paragraphs.pop_back();
    }

private:
    Group& Top() { return stack_.back(); }

    void OpenGroup()
    {
        if (static_cast<int>(stack_.size()) >= kMaxDepth) {
            ++excess_;
            return;
        }
        Group g = Top();
        g.starred = false;
        stack_.push_back(g);
    }

    void CloseGroup()
    {
        if (excess_ > 0) {
            --excess_;
            return;
        }
        if (Top().dest == Dest::FontTable)
            EndFontEntry();
        if (stack_.size() <= 2) {
            done_ = true; // the document's own group has closed
            return;
        }
        stack_.pop_back();
    }

    // A number after a control word: optional "-", digits (value capped).
    bool Parameter(int& value)
    {
        const qsizetype n = in_.size();
        bool negative = false;
        qsizetype j = i_;
        if (j < n && in_[j] == '-' && j + 1 < n && IsDigit(in_[j + 1])) {
            negative = true;
            ++j;
        }
        if (j >= n || !IsDigit(in_[j]))
            return false;
        long long v = 0;
        while (j < n && IsDigit(in_[j])) {
            v = std::min<long long>(v * 10 + (in_[j] - '0'), INT_MAX);
            ++j;
        }
        i_ = j;
        value = static_cast<int>(negative ? -v : v);
        return true;
    }

    void Control()
    {
        const qsizetype n = in_.size();
        if (i_ >= n)
            return;
        const char c = in_[i_];
        if (!IsLetter(c)) {
            ++i_;
            Symbol(c);
            return;
        }
        QByteArray word;
        while (i_ < n && IsLetter(in_[i_])) {
            if (word.size() < kMaxWordLength)
                word += in_[i_];
            ++i_;
        }
        int param = 0;
        const bool hasParam = Parameter(param);
        if (i_ < n && in_[i_] == ' ')
            ++i_;
        Word(word, hasParam, param);
    }

    void Symbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}': Char(QChar(static_cast<char16_t>(c))); break;
        case '~': Char(QChar(0x00A0)); break;
        case '_': Char(QChar(u'-')); break;
        case '\'': {
            const qsizetype n = in_.size();
            if (i_ + 1 < n) {
                const int hi = HexValue(in_[i_]), lo = HexValue(in_[i_ + 1]);
                if (hi >= 0 && lo >= 0) {
                    i_ += 2;
                    Byte(static_cast<unsigned char>(hi * 16 + lo));
                    return;
                }
            }
            // A broken escape is dropped.
            i_ = std::min(n, i_ + 2);
            break;
        }
        case '*': Top().starred = true; break;
        case '\r':
        case '\n': Paragraph(); break;
        default: break; // "\-" (optional hyphen) and unknown symbols
        }
    }

    void SetDestination(Dest d)
    {
        Top().dest = d;
    }

    void Word(const QByteArray& w, bool hasParam, int param)
    {
        Group& g = Top();
        if (g.dest == Dest::Skip)
            return;
        // Destinations.
        if (w == "fonttbl") {
            SetDestination(Dest::FontTable);
            return;
        }
        if (w == "colortbl") {
            SetDestination(Dest::ColorTable);
            red_ = green_ = blue_ = -1;
            return;
        }
        static const char* const kSkipped[] = {
            "stylesheet", "info",      "pict",       "object",     "header",       "headerl",   "headerr",
            "headerf",    "footer",    "footerl",    "footerr",    "footerf",      "footnote",  "fldinst",
            "xe",         "tc",        "listtable",  "listoverridetable", "revtbl", "rsidtbl",  "generator",
            "themedata",  "colorschememapping", "datastore", "latentstyles", "pgdsctbl", "nonshppict", "shp",
            "filetbl",    "annotation", "atnid",     "atnauthor",  "bkmkstart",    "bkmkend",   "pn",
            "listtext",   "mmathPr",   "panose",     "falt",       "fontemb",      "fontfile",
        };
        for (const char* s : kSkipped) {
            if (w == s) {
                SetDestination(Dest::Skip);
                return;
            }
        }

        if (g.dest == Dest::ColorTable) {
            if (w == "red")
                red_ = std::clamp(param, 0, 255);
            else if (w == "green")
                green_ = std::clamp(param, 0, 255);
            else if (w == "blue")
                blue_ = std::clamp(param, 0, 255);
            return;
        }
        if (g.dest == Dest::FontTable) {
            if (w == "f" && hasParam)
                fontIndex_ = param;
            else if (g.starred)
                SetDestination(Dest::Skip);
            return;
        }

        Format& f = g.format;
        const bool on = !hasParam || param != 0;
        auto style = [&](TFontStyles bit) { f.style = on ? (f.style | bit) : (f.style & ~bit); };
        if (w == "b")
            style(fsBold);
        else if (w == "i")
            style(fsItalic);
        else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth")
            style(fsUnderline);
        else if (w == "ulnone")
            f.style &= ~fsUnderline;
        else if (w == "strike" || w == "striked")
            style(fsStrikeOut);
        else if (w == "plain")
            f = Format{};
        else if (w == "fs" && hasParam && param > 0)
            f.halfPoints = std::min(param, 3276);
        else if (w == "cf" && hasParam)
            f.color = param;
        else if (w == "f" && hasParam)
            f.font = param;
        else if (w == "deff" && hasParam)
            defaultFont_ = param;
        else if (w == "par" || w == "line" || w == "sect" || w == "page")
            Paragraph();
        else if (w == "pard")
            align_ = doc_.Paragraphs.back().Alignment = 0;
        else if (w == "ql" || w == "qj")
            align_ = doc_.Paragraphs.back().Alignment = 0;
        else if (w == "qr")
            align_ = doc_.Paragraphs.back().Alignment = 1;
        else if (w == "qc")
            align_ = doc_.Paragraphs.back().Alignment = 2;
        else if (w == "tab")
            Char(QChar(u'\t'));
        else if (w == "emdash")
            Char(QChar(0x2014));
        else if (w == "endash")
            Char(QChar(0x2013));
        else if (w == "bullet")
            Char(QChar(0x2022));
        else if (w == "lquote")
            Char(QChar(0x2018));
        else if (w == "rquote")
            Char(QChar(0x2019));
        else if (w == "ldblquote")
            Char(QChar(0x201C));
        else if (w == "rdblquote")
            Char(QChar(0x201D));
        else if (w == "uc" && hasParam)
            g.uc = std::clamp(param, 0, 16);
        else if (w == "u" && hasParam) {
            const int unit = param < 0 ? param + 65536 : param;
            skip_ = 0;
            if (unit >= 0 && unit <= 0xFFFF)
                Char(QChar(static_cast<char16_t>(unit)));
            skip_ = g.uc;
        } else if (w == "bin" && hasParam) {
            // Binary data: skipped, as far as there is any.
            i_ = std::min(in_.size(), i_ + std::max(0, param));
        } else if (g.starred) {
            SetDestination(Dest::Skip);
        }
    }

    void Byte(unsigned char b)
    {
        const Dest d = Top().dest;
        if (d == Dest::Skip)
            return;
        if (d == Dest::ColorTable) {
            if (b == ';')
                EndColorEntry();
            return;
        }
        if (d == Dest::FontTable) {
            if (b == ';')
                EndFontEntry();
            else
                fontName_ += Codepage1252()[b];
            return;
        }
        Char(Codepage1252()[b]);
    }

    void Char(QChar ch)
    {
        if (Top().dest != Dest::Text)
            return;
        if (skip_ > 0) {
            --skip_; // the fallback of a Unicode character
            return;
        }
        const Format& f = Top().format;
        TRtfRun run;
        run.Style = f.style;
        run.FontSize = std::max(1, (f.halfPoints + 1) / 2);
        const int font = f.font >= 0 ? f.font : defaultFont_;
        if (font >= 0 && font < static_cast<int>(doc_.Fonts.size()))
            run.FontName = doc_.Fonts[static_cast<size_t>(font)];
        if (f.color >= 0 && f.color < static_cast<int>(doc_.Colors.size()))
            run.Color = doc_.Colors[static_cast<size_t>(f.color)];
        std::vector<TRtfRun>& runs = doc_.Paragraphs.back().Runs;
        if (runs.empty() || runs.back().Style != run.Style || runs.back().FontSize != run.FontSize ||
            runs.back().FontName != run.FontName || runs.back().Color != run.Color)
            runs.push_back(run);
        runs.back().Text += ch;
    }

    void Paragraph()
    {
        if (Top().dest != Dest::Text)
            return;
        TRtfParagraph p;
        p.Alignment = align_;
        doc_.Paragraphs.push_back(p);
    }

    void EndColorEntry()
    {
        if (static_cast<int>(doc_.Colors.size()) < kMaxTableSize) {
            if (red_ < 0 && green_ < 0 && blue_ < 0)
                doc_.Colors.push_back(clNone);
            else
                doc_.Colors.push_back(RGB(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
        }
        red_ = green_ = blue_ = -1;
    }

    void EndFontEntry()
    {
        if (fontIndex_ >= 0 && fontIndex_ < kMaxTableSize) {
            const auto index = static_cast<size_t>(fontIndex_);
            if (doc_.Fonts.size() <= index)
                doc_.Fonts.resize(index + 1);
            const QString name = fontName_.trimmed();
            if (!name.isEmpty())
                doc_.Fonts[index] = name;
        }
        fontIndex_ = -1;
        fontName_.clear();
    }

    const QByteArray& in_;
    TRtfDocument& doc_;
    qsizetype i_ = 0;
    std::vector<Group> stack_;
    int excess_ = 0;
    bool done_ = false;
    int align_ = 0;
    int defaultFont_ = 0;
    int skip_ = 0;
    int fontIndex_ = -1;
    QString fontName_;
    int red_ = -1, green_ = -1, blue_ = -1;
};

struct Piece
{
    QString text;
    const TRtfRun* run;
    int width;
    int height;
};

struct Line
{
    std::vector<Piece> pieces;
    int width = 0;
    int height = 0;
    int alignment = 0;
};

void SetRunFont(TCanvas& canvas, const TFont& base, const TRtfRun* run)
{
    TFont f = base;
    if (run) {
        if (!run->FontName.isEmpty())
            f.SetName(run->FontName);
        f.SetSize(run->FontSize);
        f.SetStyle(run->Style);
    }
    canvas.SetFont(f);
}

} // namespace

QString TRtfDocument::PlainText() const
{
    QString out;
    for (size_t p = 0; p < Paragraphs.size(); ++p) {
        if (p > 0)
            out += QLatin1String("\r\n");
        for (const TRtfRun& r : Paragraphs[p].Runs)
            out += r.Text;
    }
    return out;
}

bool ReadRtf(const QByteArray& rtf, TRtfDocument& document, QString* error)
{
    document = TRtfDocument{};
    if (!rtf.startsWith("{\\rtf")) {
        if (error)
            *error = QStringLiteral("The text is no rich text.");
        return false;
    }
    Reader reader(rtf, document);
    reader.Run();
    return true;
}

bool ReadRtf(const QString& rtf, TRtfDocument& document, QString* error)
{
    QByteArray bytes;
    bytes.reserve(rtf.size());
    for (const QChar c : rtf)
        bytes += static_cast<char>(c.unicode() & 0xFF);
    return ReadRtf(bytes, document, error);
}

QString RtfToPlainText(const QString& rtf)
{
    TRtfDocument doc;
    if (!ReadRtf(rtf, doc))
        return rtf;
    return doc.PlainText();
}

TSize DrawRtfText(TCanvas& canvas, const TRtfDocument& document, const TRect& rect, bool wordWrap, bool measureOnly,
                  TColor textColor)
{
    const TFont savedFont = canvas.Font();
    const TBrush savedBrush = canvas.Brush();
    const unsigned measureFlags = DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS;

    // Lines of pieces, each piece a word (with its blank) of one run.
    std::vector<Line> lines;
    for (const TRtfParagraph& para : document.Paragraphs) {
        Line line;
        line.alignment = para.Alignment;
        SetRunFont(canvas, savedFont, para.Runs.empty() ? nullptr : &para.Runs.front());
        line.height = canvas.TextHeight(QStringLiteral("gh"));
        bool lastBlank = false;
        for (const TRtfRun& run : para.Runs) {
            SetRunFont(canvas, savedFont, &run);
            qsizetype at = 0;
            while (at < run.Text.size()) {
                qsizetype end = run.Text.indexOf(u' ', at);
                end = end < 0 ? run.Text.size() : end + 1;
                const QString word = run.Text.mid(at, end - at);
                at = end;
                TRect r = Rect(0, 0, 100000, 1000);
                const int h = canvas.DrawText(word, r, measureFlags);
                const int w = r.Width();
                if (wordWrap && line.width > 0 && lastBlank && line.width + w > rect.Width()) {
                    lines.push_back(line);
                    line = Line{};
                    line.alignment = para.Alignment;
                }
                line.pieces.push_back(Piece{word, &run, w, h});
                line.width += w;
                line.height = std::max(line.height, h);
                lastBlank = word.endsWith(u' ');
            }
        }
        lines.push_back(line);
    }

    TSize size{0, 0};
    int y = rect.Top;
    for (Line& line : lines) {
        // A blank at the end of a line takes no room.
        int width = line.width;
        if (!line.pieces.empty() && line.pieces.back().text.endsWith(u' ')) {
            SetRunFont(canvas, savedFont, line.pieces.back().run);
            width -= canvas.TextWidth(QStringLiteral(" "));
        }
        size.cx = std::max(size.cx, width);
        if (!measureOnly && y < rect.Bottom) {
            int x = rect.Left;
            if (line.alignment == 1)
                x = rect.Right - width;
            else if (line.alignment == 2)
                x = rect.Left + (rect.Width() - width) / 2;
            canvas.Brush().SetStyle(bsClear);
            for (const Piece& piece : line.pieces) {
                SetRunFont(canvas, savedFont, piece.run);
                TColor color = textColor;
                if (color == clNone)
                    color = piece.run->Color != clNone ? piece.run->Color : savedFont.Color();
                canvas.Font().SetColor(color);
                TRect r = Rect(x, y, x + piece.width, y + line.height);
                canvas.DrawText(piece.text, r, DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
                x += piece.width;
            }
        }
        y += line.height;
    }
    size.cy = y - rect.Top;
    canvas.SetFont(savedFont);
    canvas.Brush() = savedBrush;
    return size;
}
