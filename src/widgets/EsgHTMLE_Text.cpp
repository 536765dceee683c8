// The routines of the HTML mini-language that work on texts without drawing.

#include "widgets/EsgHTMLE.h"

#include "widgets/EsgHTMLE_Private.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <vector>

using namespace platform;

namespace {

// The accented letters and their entities, in the order they are replaced.
struct Accent
{
    char16_t ch;
    const char* entity;
};

constexpr std::array<Accent, 55> kAccents{{
    {u'é', "&eacute;"}, {u'è', "&egrave;"}, {u'ë', "&euml;"},   {u'ê', "&ecirc;"},  {u'ó', "&oacute;"},
    {u'ò', "&ograve;"}, {u'ö', "&ouml;"},   {u'ô', "&ocirc;"},  {u'í', "&iacute;"}, {u'ì', "&igrave;"},
    {u'ï', "&iuml;"},   {u'î', "&icirc;"},  {u'ú', "&uacute;"}, {u'ù', "&ugrave;"}, {u'ü', "&uuml;"},
    {u'û', "&ucirc;"},  {u'á', "&aacute;"}, {u'à', "&agrave;"}, {u'ä', "&auml;"},   {u'â', "&acirc;"},
    {u'É', "&Eacute;"}, {u'È', "&Egrave;"}, {u'Ë', "&Euml;"},   {u'Ê', "&Ecirc;"},  {u'Ó', "&Oacute;"},
    {u'Ò', "&Ograve;"}, {u'Ö', "&Ouml;"},   {u'Ô', "&Ocirc;"},  {u'Í', "&Iacute;"}, {u'Ì', "&Igrave;"},
    {u'Ï', "&Iuml;"},   {u'Î', "&Icirc;"},  {u'Ú', "&Uacute;"}, {u'Ù', "&Ugrave;"}, {u'Ü', "&Uuml;"},
    {u'Û', "&Ucirc;"},  {u'Á', "&Aacute;"}, {u'À', "&Agrave;"}, {u'Ä', "&Auml;"},   {u'Â', "&Acirc;"},
    {u'ç', "&ccedil;"}, {u'Ç', "&Ccedil;"}, {u'ø', "&oslash;"}, {u'Ø', "&Oslash;"}, {u'å', "&aring;"},
    {u'Å', "&Aring;"},  {u'©', "&copy;"},   {u'®', "&reg;"},    {u'€', "&euro;"},   {u'«', "&laquo;"},
    {u'»', "&raquo;"},  {u'ã', "&atilde;"}, {u'Ã', "&Atilde;"}, {u'õ', "&otilde;"}, {u'Õ', "&Otilde;"},
}};

struct Basic
{
    char16_t ch;
    const char* entity;
};
constexpr std::array<Basic, 4> kBasic{{{u'<', "&lt;"}, {u'>', "&gt;"}, {u'&', "&amp;"}, {u'"', "&quot;"}}};

std::atomic<TColor> g_highlightBack{clHighlight};
std::atomic<TColor> g_highlightText{clHighlightText};

// A control tag of the text: where it starts and ends (after its ">").
struct ControlSpan
{
    qsizetype start = 0;
    qsizetype end = 0;
    THTMLControlTag tag;
};

std::vector<ControlSpan> Controls(const QString& text)
{
    std::vector<ControlSpan> out;
    const QString upper = htmle::UpperAscii(text);
    qsizetype from = 0;
    while (true) {
        const qsizetype start = upper.indexOf(QLatin1String("<CONTROL"), from);
        if (start < 0)
            break;
        const qsizetype close = text.indexOf(u'>', start);
        if (close < 0)
            break;
        ControlSpan span;
        span.start = start;
        span.end = close + 1;
        span.tag = ParseHTMLControlTag(text.mid(start, close + 1 - start));
        out.push_back(span);
        from = close + 1;
    }
    return out;
}

QString Quoted(const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

// The plain-text index of each character outside tags, as positions in the
// mark-up text; tags are "<" to the next ">" while a ">" follows.
std::vector<qsizetype> OutsideTagPositions(const QString& markup)
{
    std::vector<qsizetype> positions;
    qsizetype i = 0;
    while (i < markup.size()) {
        if (markup[i] == u'<') {
            const qsizetype close = markup.indexOf(u'>', i);
            if (close >= 0) {
                i = close + 1;
                continue;
            }
        }
        positions.push_back(i);
        ++i;
    }
    return positions;
}

} // namespace

namespace htmle {

QString UpperAscii(const QString& text)
{
    QString u = text;
    for (QChar& c : u)
        if (c >= u'a' && c <= u'z')
            c = QChar(static_cast<char16_t>(c.unicode() - 32));
    return u;
}

qsizetype FindAttribute(const QString& upperTag, const QString& name)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype at = upperTag.indexOf(name, from);
        if (at < 0)
            return -1;
        const bool startsWord = at == 0 || !upperTag[at - 1].isLetterOrNumber();
        qsizetype after = at + name.size();
        while (after < upperTag.size() && upperTag[after] == u' ')
            ++after;
        if (startsWord && after < upperTag.size() && upperTag[after] == u'=')
            return at;
        from = at + 1;
    }
}

bool AttributeValue(const QString& tag, const QString& name, QString& value)
{
    const qsizetype at = FindAttribute(UpperAscii(tag), name);
    if (at < 0)
        return false;
    const qsizetype q1 = tag.indexOf(u'"', at);
    if (q1 < 0)
        return false;
    const qsizetype q2 = tag.indexOf(u'"', q1 + 1);
    if (q2 < 0)
        return false;
    value = tag.mid(q1 + 1, q2 - q1 - 1);
    return true;
}

int IntOfText(const QString& text, int fallback)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long v = 0;
    bool any = false;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        v = std::min<long long>(v * 10 + (text[i].unicode() - u'0'), INT_MAX);
        any = true;
        ++i;
    }
    if (!any)
        return fallback;
    return static_cast<int>(negative ? -v : v);
}

} // namespace htmle

// ---------------------------------------------------------------- highlight colours

void StoreHighlightColors(TColor background, TColor text)
{
    g_highlightBack = background;
    g_highlightText = text;
}

TColor HighlightBackColor() { return g_highlightBack.load(); }
TColor HighlightTextColor() { return g_highlightText.load(); }

// ---------------------------------------------------------------- entities

QString DecodeHTMLEntities(const QString& text, bool accents)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != u'&') {
            out += text[i++];
            continue;
        }
        bool done = false;
        for (const Basic& b : kBasic) {
            const QLatin1String e(b.entity);
            if (QStringView(text).mid(i).startsWith(e)) {
                out += QChar(b.ch);
                i += e.size();
                done = true;
                break;
            }
        }
        if (!done && accents) {
            for (const Accent& a : kAccents) {
                const QLatin1String e(a.entity);
                if (QStringView(text).mid(i).startsWith(e)) {
                    out += QChar(a.ch);
                    i += e.size();
                    done = true;
                    break;
                }
            }
        }
        if (!done)
            out += text[i++];
    }
    return out;
}

QString EncodeHTMLEntities(const QString& text, bool accents)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        bool done = false;
        for (const Basic& b : kBasic) {
            if (c == QChar(b.ch)) {
                out += QLatin1String(b.entity);
                done = true;
                break;
            }
        }
        if (!done && accents) {
            for (const Accent& a : kAccents) {
                if (c == QChar(a.ch)) {
                    out += QLatin1String(a.entity);
                    done = true;
                    break;
                }
            }
        }
        if (!done)
            out += c;
    }
    return out;
}

QString EncodeHTMLSpaces(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char(' '), QLatin1String("&nbsp;"));
    return out;
}

// ---------------------------------------------------------------- tags

QString StripHTMLTags(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("<BR>"), QLatin1String("\r\n"), Qt::CaseInsensitive);
    s.replace(QLatin1String("<HR>"), QLatin1String("\r\n"), Qt::CaseInsensitive);
    QString out;
    out.reserve(s.size());
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype open = s.indexOf(u'<', i);
        if (open < 0) {
            out += QStringView(s).mid(i);
            break;
        }
        const qsizetype close = s.indexOf(u'>', open);
        if (close < 0) {
            out += QStringView(s).mid(i);
            break;
        }
        out += QStringView(s).mid(i, open - i);
        i = close + 1;
    }
    return out;
}

QString MarkHTMLMatches(const QString& text, const QString& search, const QString& tag, bool caseSensitive)
{
    if (search.isEmpty())
        return text;
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QString markup = text;
    QString what = search;
    // Plain text: tags removed while each "<" has its ">" after it.
    QString plain;
    {
        qsizetype i = 0;
        while (i < markup.size()) {
            const qsizetype open = markup.indexOf(u'<', i);
            const qsizetype close = markup.indexOf(u'>', i);
            if (open < 0 || close < 0 || close < open) {
                plain += QStringView(markup).mid(i);
                break;
            }
            plain += QStringView(markup).mid(i, open - i);
            i = close + 1;
        }
    }
    if (markup.contains(what, cs) && (plain.contains(u'<') || plain.contains(u'>'))) {
        auto escape = [](QString s) {
            s.replace(QLatin1Char('<'), QLatin1String("&lt;"));
            s.replace(QLatin1Char('>'), QLatin1String("&gt;"));
            return s;
        };
        markup = escape(plain);
        what = escape(what);
        plain = markup;
    }
    const std::vector<qsizetype> positions = OutsideTagPositions(markup);
    if (static_cast<qsizetype>(positions.size()) != plain.size())
        return markup; // the two views disagree: leave the text as it is
    std::vector<std::pair<qsizetype, qsizetype>> marks; // mark-up start, end
    qsizetype from = 0;
    while (from < plain.size()) {
        const qsizetype at = plain.indexOf(what, from, cs);
        if (at < 0)
            break;
        const qsizetype last = at + what.size() - 1;
        marks.emplace_back(positions[static_cast<size_t>(at)], positions[static_cast<size_t>(last)] + 1);
        from = at + what.size();
    }
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString close = QLatin1String("</") + tag + QLatin1Char('>');
    for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
        markup.insert(it->second, close);
        markup.insert(it->first, open);
    }
    return markup;
}

QString UnmarkHTMLTag(const QString& text, const QString& tag)
{
    QString s = text;
    s.remove(QLatin1Char('<') + tag + QLatin1Char('>'), Qt::CaseInsensitive);
    s.remove(QLatin1String("</") + tag + QLatin1Char('>'), Qt::CaseInsensitive);
    s.replace(QLatin1String("&lt;"), QLatin1String("<"));
    s.replace(QLatin1String("&gt;"), QLatin1String(">"));
    return s;
}

// ---------------------------------------------------------------- form controls

THTMLControlTag ParseHTMLControlTag(const QString& tag)
{
    THTMLControlTag t;
    auto read = [&](const char* key, QString& into) { htmle::AttributeValue(tag, QLatin1String(key), into); };
    read("TYPE", t.Type);
    t.Type = htmle::UpperAscii(t.Type);
    read("ID", t.ID);
    read("MAXLEN", t.MaxLen);
    read("PROP", t.Prop);
    t.Prop = DecodeHTMLEntities(t.Prop, true);
    read("HEIGHT", t.Height);
    read("WIDTH", t.Width);
    read("VALUE", t.Value);
    t.Value = DecodeHTMLEntities(t.Value, true);
    return t;
}

bool HasHTMLControls(const QString& text) { return text.contains(QLatin1String("<CONTROL"), Qt::CaseInsensitive); }

QString NextHTMLEditControl(const QString& text, const QString& id)
{
    const std::vector<ControlSpan> controls = Controls(text);
    size_t i = 0;
    if (!id.isEmpty()) {
        while (i < controls.size() && controls[i].tag.ID != id)
            ++i;
        if (i == controls.size())
            return {};
        ++i;
    }
    for (; i < controls.size(); ++i) {
        const QString& type = controls[i].tag.Type;
        if (type != QLatin1String("BUTTON") && type != QLatin1String("CHECK") && type != QLatin1String("RADIO"))
            return controls[i].tag.ID;
    }
    return {};
}

bool HTMLControlValue(const QString& text, const QString& id, QString& value)
{
    for (const ControlSpan& c : Controls(text)) {
        if (c.tag.ID == id) {
            value = c.tag.Value;
            return true;
        }
    }
    return false;
}

QString HTMLControlProp(const QString& text, const QString& id)
{
    for (const ControlSpan& c : Controls(text))
        if (c.tag.ID == id)
            return c.tag.Prop;
    return {};
}

int HTMLControlMaxLen(const QString& text, const QString& id)
{
    for (const ControlSpan& c : Controls(text))
        if (c.tag.ID == id)
            return htmle::IntOfText(c.tag.MaxLen, 0);
    return 0;
}

bool ReplaceHTMLControlValue(QString& text, const QString& id, const QString& value)
{
    for (const ControlSpan& c : Controls(text)) {
        if (c.tag.ID != id)
            continue;
        QString tag = QLatin1String("<CONTROL ID=") + Quoted(c.tag.ID) + QLatin1String(" VALUE=") +
                      Quoted(EncodeHTMLEntities(value, true)) + QLatin1String(" WIDTH=") + Quoted(c.tag.Width) +
                      QLatin1String(" TYPE=") + Quoted(c.tag.Type);
        if (!c.tag.Height.isEmpty())
            tag += QLatin1String(" HEIGHT=") + Quoted(c.tag.Height);
        if (!c.tag.Prop.isEmpty())
            tag += QLatin1String(" PROP=") + Quoted(EncodeHTMLEntities(c.tag.Prop, true));
        if (!c.tag.MaxLen.isEmpty())
            tag += QLatin1String(" MAXLEN=") + Quoted(c.tag.MaxLen);
        tag += QLatin1Char('>');
        text = text.left(c.start) + tag + text.mid(c.end);
        return true;
    }
    return false;
}

QString ClearHTMLRadioControls(const QString& text)
{
    QString out = text;
    QStringList ids;
    for (const ControlSpan& c : Controls(text))
        if (c.tag.Type == QLatin1String("RADIO"))
            ids << c.tag.ID;
    for (const QString& id : ids)
        ReplaceHTMLControlValue(out, id, QStringLiteral("FALSE"));
    return out;
}
