#include "widgets/EsgHTMLE.h"

#include "WidgetTestHelpers.h"
#include "platform/Themes.h"
#include "widgets/PictureContainer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

using namespace platform;

// ---------------------------------------------------------------- text routines

TEST(EsgHTMLEText, EncodeAndDecode)
{
    const struct
    {
        const char16_t* plain;
        bool accents;
        const char16_t* encoded;
    } cases[] = {
        {u"a<b & \"c\"", false, u"a&lt;b &amp; &quot;c&quot;"},
        {u"Õé", true, u"&Otilde;&eacute;"},
        {u"Õé", false, u"Õé"},
        {u"© ® € « »", true, u"&copy; &reg; &euro; &laquo; &raquo;"},
        // Literal text that looks like an entity is encoded as it stands.
        {u"&amp;", false, u"&amp;amp;"},
        {u"*amp; x", false, u"*amp; x"},
        {u"&&", false, u"&amp;&amp;"},
        {u"", true, u""},
    };
    for (const auto& c : cases) {
        const QString plain = QString::fromUtf16(c.plain);
        const QString encoded = QString::fromUtf16(c.encoded);
        EXPECT_EQ(EncodeHTMLEntities(plain, c.accents), encoded) << plain.toStdString();
        EXPECT_EQ(DecodeHTMLEntities(encoded, c.accents), plain) << encoded.toStdString();
    }

    const struct
    {
        const char16_t* in;
        bool accents;
        const char16_t* out;
    } decodes[] = {
        // One pass: a decoded "&" does not start another entity.
        {u"&amp;amp;", false, u"&amp;"},
        {u"&amp;lt;", false, u"&lt;"},
        {u"&amp;amp;amp;", false, u"&amp;amp;"},
        {u"&Eacute;&eacute;", true, u"Éé"},
        {u"&eacute;", false, u"&eacute;"},
        {u"&EACUTE;", true, u"&EACUTE;"}, // exact case only
        {u"&LT;", false, u"&LT;"},
        {u"&nosuch; & &lt &", true, u"&nosuch; & &lt &"},
        {u"&&lt;&", false, u"&<&"},
    };
    for (const auto& c : decodes)
        EXPECT_EQ(DecodeHTMLEntities(QString::fromUtf16(c.in), c.accents), QString::fromUtf16(c.out))
            << QString::fromUtf16(c.in).toStdString();

    // Round trips of awkward texts.
    for (const char16_t* s : {u"&amp;", u"*amp;", u"<<>>", u"\"\"", u"&lt;b&gt;", u"Ã&Õ&é", u"a & b < c > d \" e"}) {
        const QString t = QString::fromUtf16(s);
        for (bool accents : {false, true})
            EXPECT_EQ(DecodeHTMLEntities(EncodeHTMLEntities(t, accents), accents), t) << t.toStdString();
    }

    EXPECT_EQ(EncodeHTMLSpaces(QStringLiteral(" a  b ")), QStringLiteral("&nbsp;a&nbsp;&nbsp;b&nbsp;"));
}

TEST(EsgHTMLEText, StripTags)
{
    const struct
    {
        const char* in;
        const char* out;
    } cases[] = {
        {"a<BR>b<i>c</i>", "a\r\nbc"},
        {"x<y", "x<y"},
        {"a<hr>b<Br>c", "a\r\nb\r\nc"},
        {"<b>bold</b> and <FONT COLOR=\"red\">red</FONT>", "bold and red"},
        {"a<b", "a<b"},
        {"a<b>c<d", "ac<d"},
        {"a>b", "a>b"},
        {"<>", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripHTMLTags(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(EsgHTMLEText, MarkAndUnmark)
{
    const struct
    {
        const char* text;
        const char* search;
        bool caseSensitive;
        const char* marked;
    } cases[] = {
        {"<b>Hello</b> world", "o", true, "<b>Hell<HI>o</HI></b> w<HI>o</HI>rld"},
        {"xABy", "ab", false, "x<HI>AB</HI>y"},
        {"xABy", "ab", true, "xABy"},
        {"<b>ab</b>ab", "ab", true, "<b><HI>ab</HI></b><HI>ab</HI>"},
        {"aaa", "aa", true, "<HI>aa</HI>a"},
        {"nothing here", "zz", true, "nothing here"},
        // A plain text holding "<" is escaped first.
        {"a<b", "a", true, "<HI>a</HI>&lt;b"},
        {"", "a", true, ""},
        {"abc", "", true, "abc"},
    };
    for (const auto& c : cases) {
        const QString marked = MarkHTMLMatches(QString::fromUtf8(c.text), QString::fromUtf8(c.search),
                                               QStringLiteral("HI"), c.caseSensitive);
        EXPECT_EQ(marked, QString::fromUtf8(c.marked)) << c.text;
    }
    EXPECT_EQ(UnmarkHTMLTag(QStringLiteral("<b>Hell<HI>o</HI></b> w<hi>o</hI>rld"), QStringLiteral("hi")),
              QStringLiteral("<b>Hello</b> world"));
    EXPECT_EQ(UnmarkHTMLTag(QStringLiteral("<HI>a</HI>&lt;b"), QStringLiteral("HI")), QStringLiteral("a<b"));
}

TEST(EsgHTMLEText, FormControls)
{
    const QString text = QStringLiteral(
        "Name <CONTROL TYPE=\"edit\" WIDTH=\"80\" ID=\"name\" VALUE=\"Jo &amp; &quot;Al&quot;\" MAXLEN=\"12\">"
        " <CONTROL TYPE=\"BUTTON\" ID=\"ok\" VALUE=\"OK\" HEIGHT=\"30\">"
        " <CONTROL TYPE=\"RADIO\" ID=\"r1\" VALUE=\"TRUE\"><control type=\"RADIO\" id=\"r2\" value=\"true\">"
        " <CONTROL TYPE=\"COMBO\" ID=\"city\" WIDTH=\"60\" HEIGHT=\"40\" PROP=\"a;b\" MAXLEN=\"x1\">");

    const THTMLControlTag t =
        ParseHTMLControlTag(QStringLiteral("<CONTROL TYPE=\"edit\" WIDTH=\"80\" ID=\"name\" VALUE=\"&eacute;\">"));
    EXPECT_EQ(t.Type, QStringLiteral("EDIT"));
    EXPECT_EQ(t.ID, QStringLiteral("name")); // not the "ID" inside "WIDTH"
    EXPECT_EQ(t.Width, QStringLiteral("80"));
    EXPECT_EQ(t.Value, QStringLiteral("é"));
    EXPECT_TRUE(t.Height.isEmpty());

    EXPECT_TRUE(HasHTMLControls(QStringLiteral("x <control type=\"edit\">")));
    EXPECT_FALSE(HasHTMLControls(QStringLiteral("<b>x</b>")));

    QString v;
    ASSERT_TRUE(HTMLControlValue(text, QStringLiteral("name"), v));
    EXPECT_EQ(v, QStringLiteral("Jo & \"Al\""));
    EXPECT_FALSE(HTMLControlValue(text, QStringLiteral("NAME"), v)); // IDs compare with case
    EXPECT_EQ(HTMLControlProp(text, QStringLiteral("city")), QStringLiteral("a;b"));
    EXPECT_EQ(HTMLControlMaxLen(text, QStringLiteral("name")), 12);
    EXPECT_EQ(HTMLControlMaxLen(text, QStringLiteral("city")), 0);
    EXPECT_EQ(HTMLControlMaxLen(text, QStringLiteral("none")), 0);

    // Editable controls only: buttons, check boxes and radio buttons are skipped.
    EXPECT_EQ(NextHTMLEditControl(text, QString()), QStringLiteral("name"));
    EXPECT_EQ(NextHTMLEditControl(text, QStringLiteral("name")), QStringLiteral("city"));
    EXPECT_EQ(NextHTMLEditControl(text, QStringLiteral("city")), QString());
    EXPECT_EQ(NextHTMLEditControl(text, QStringLiteral("unknown")), QString());

    // A new value is encoded; the control keeps its height, prop and length.
    QString edited = text;
    ASSERT_TRUE(ReplaceHTMLControlValue(edited, QStringLiteral("city"), QStringLiteral("<\"Bern\">")));
    ASSERT_TRUE(HTMLControlValue(edited, QStringLiteral("city"), v));
    EXPECT_EQ(v, QStringLiteral("<\"Bern\">"));
    const THTMLControlTag city = ParseHTMLControlTag(edited.mid(edited.indexOf(QLatin1String("<CONTROL ID=\"city\""))));
    EXPECT_EQ(city.Height, QStringLiteral("40"));
    EXPECT_EQ(city.Prop, QStringLiteral("a;b"));
    EXPECT_EQ(city.Type, QStringLiteral("COMBO"));
    EXPECT_EQ(city.Width, QStringLiteral("60"));
    EXPECT_EQ(city.MaxLen, QStringLiteral("x1"));
    EXPECT_TRUE(edited.startsWith(text.left(text.indexOf(QLatin1String(" <CONTROL TYPE=\"COMBO\"")))));

    QString unchanged = text;
    EXPECT_FALSE(ReplaceHTMLControlValue(unchanged, QStringLiteral("nope"), QStringLiteral("x")));
    EXPECT_EQ(unchanged, text);

    const QString cleared = ClearHTMLRadioControls(text);
    ASSERT_TRUE(HTMLControlValue(cleared, QStringLiteral("r1"), v));
    EXPECT_EQ(v, QStringLiteral("FALSE"));
    ASSERT_TRUE(HTMLControlValue(cleared, QStringLiteral("r2"), v));
    EXPECT_EQ(v, QStringLiteral("FALSE"));
    ASSERT_TRUE(HTMLControlValue(cleared, QStringLiteral("ok"), v));
    EXPECT_EQ(v, QStringLiteral("OK"));
}

TEST(EsgHTMLEText, Colors)
{
    EXPECT_EQ(HTMLColor(QStringLiteral("#FF0000")), clRed);
    EXPECT_EQ(HTMLColor(QStringLiteral("#ff8000")), RGB(255, 128, 0));
    EXPECT_EQ(HTMLColor(QStringLiteral("clRed")), clRed);
    EXPECT_EQ(HTMLColor(QStringLiteral("CLBTNFACE")), clBtnFace);
    EXPECT_EQ(HTMLColor(QStringLiteral("clInfoBk")), SystemColor(24));
    EXPECT_EQ(HTMLColor(QStringLiteral("clNoSuch")), clBlack);
    EXPECT_EQ(HTMLColor(QStringLiteral("#12")), clBlack);
}

// ---------------------------------------------------------------- rendering

namespace {

bool Dark(QColor c) { return c.red() + c.green() + c.blue() < 300; }
bool Reddish(QColor c) { return c.red() > 150 && c.green() < 110 && c.blue() < 110; }
bool Bluish(QColor c) { return c.blue() > 150 && c.red() < 110 && c.green() < 110; }

struct Page
{
    Page(int w = 300, int h = 120) : bitmap(w, h)
    {
        TCanvas& c = bitmap.Canvas();
        c.Brush().SetColor(clWhite);
        c.FillRect(Rect(0, 0, w, h));
        c.Font().SetName(QStringLiteral("Tahoma"));
        c.Font().SetHeight(-13);
        c.Font().SetColor(clBlack);
    }
    THTMLDrawResult Draw(const QString& html, THTMLDrawOptions o = {}, TRect r = {})
    {
        if (IsRectEmpty(r))
            r = Rect(0, 0, bitmap.Width(), bitmap.Height());
        THTMLDrawResult result;
        hit = DrawHTMLText(bitmap.Canvas(), html, r, o, result);
        return result;
    }
    QImage Image() { return bitmap.Image(); }
    int Count(bool (*test)(QColor)) { return widgettest::Count(Image(), test); }
    QRect Bounds(bool (*test)(QColor)) { return widgettest::Bounding(Image(), test); }
    TBitmap bitmap;
    bool hit = false;
};

THTMLDrawResult Measure(const QString& html, int width = 1000)
{
    Page p;
    THTMLDrawOptions o;
    o.MeasureOnly = true;
    return p.Draw(html, o, Rect(0, 0, width, 65535));
}

struct ThemesOff
{
    ThemesOff() : was(ThemesActive()) { SetThemesActive(false); }
    ~ThemesOff() { SetThemesActive(was); }
    bool was;
};

} // namespace

TEST(EsgHTMLERender, PlainTextAndEntities)
{
    const struct
    {
        const char16_t* html;
        const char16_t* plain;
    } cases[] = {
        {u"a &amp; b", u"a & b"},
        {u"50&permil;", u"50‰"},
        {u"&AMP;amp;", u"&amp;"}, // decoded once, names in any case
        {u"&amp;lt;", u"&lt;"},
        {u"&lt;b&gt;x", u"<b>x"}, // an escaped tag is text
        {u"&copy;&reg;&trade;&euro;&sect;&para;&quot;", u"©®™€§¶\""},
        {u"x<BR>y", u"x\ry"},
        {u"a\r\nb", u"a\rb"},
        {u"<B>bold</B> <FOO>plain", u"bold plain"},
        {u"<#hash>tag", u"#hashtag"},
        {u"R&&D", u"R&D"},
        {u"ab<B", u"ab"},               // a tag without ">" ends the text
        {u"<Z>hidden</Z>shown", u"shown"},
        {u"a&nbsp;b", u"a b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Measure(QString::fromUtf16(c.html)).PlainText, QString::fromUtf16(c.plain))
            << QString::fromUtf16(c.html).toStdString();
}

TEST(EsgHTMLERender, SizesAndLines)
{
    const int line = Measure(QStringLiteral("gh")).Height;
    EXPECT_GT(line, 8);
    EXPECT_EQ(Measure(QString()).Height, line); // at least one line
    EXPECT_EQ(Measure(QString()).Width, 0);
    EXPECT_EQ(Measure(QStringLiteral("a<BR>b")).Height, 2 * line);
    EXPECT_EQ(Measure(QStringLiteral("a<BR>b<BR>c")).Height, 3 * line);

    // Word wrap breaks at blanks; a word wider than the line stays whole.
    const int word = Measure(QStringLiteral("wordy")).Width;
    EXPECT_EQ(Measure(QStringLiteral("wordy wordy wordy"), word + 5).Height, 3 * line);
    EXPECT_EQ(Measure(QStringLiteral("wordy wordy wordy"), 10000).Height, line);
    const THTMLDrawResult wide = Measure(QStringLiteral("averyveryverylongword"), 20);
    EXPECT_EQ(wide.Height, line);
    EXPECT_GT(wide.Width, 20);
    // A trailing blank does not count.
    EXPECT_EQ(Measure(QStringLiteral("wordy ")).Width, word);

    // Without word wrap everything stays on one line.
    Page p;
    THTMLDrawOptions o;
    o.WordWrap = false;
    const THTMLDrawResult one = p.Draw(QStringLiteral("wordy wordy wordy wordy"), o, Rect(0, 0, word + 5, 100));
    EXPECT_EQ(one.Height, line);
    EXPECT_EQ(p.Bounds(Dark).right() < word + 5, true); // ended with an ellipsis inside the rectangle

    // Superscript and subscript make the line taller.
    EXPECT_GT(Measure(QStringLiteral("a<SUP>2</SUP>")).Height, line);
    EXPECT_GT(Measure(QStringLiteral("a<SUB>2</SUB>")).Height, line);
}

TEST(EsgHTMLERender, BoldAndColours)
{
    Page plain, bold;
    plain.Draw(QStringLiteral("mmmm mmmm"));
    bold.Draw(QStringLiteral("<B>mmmm mmmm</B>"));
    EXPECT_GT(bold.Count(Dark), plain.Count(Dark));
    EXPECT_GE(bold.Bounds(Dark).width(), plain.Bounds(Dark).width());
    EXPECT_EQ(plain.Count(Reddish), 0);

    for (const char* html : {"<FONT COLOR=\"#ff0000\">red</FONT>", "<font color=\"clRed\">red</font>",
                             "<FONT COLOR=\"CLRED\">red</FONT>"}) {
        Page p;
        p.Draw(QString::fromUtf8(html));
        EXPECT_GT(p.Count(Reddish), 5) << html;
    }
    {
        // Attribute names are whole words: COLOR is not read out of BGCOLOR.
        Page p;
        p.Draw(QStringLiteral("<FONT BGCOLOR=\"clYellow\" COLOR=\"clRed\">red on yellow</FONT>"));
        EXPECT_GT(p.Count(Reddish), 5);
        EXPECT_GT(widgettest::Count(p.Image(), [](QColor c) { return FromQColor(c) == clYellow; }), 50);
    }
    {
        Page p; // an unknown colour name is black
        p.Draw(QStringLiteral("<FONT COLOR=\"clNoSuch\">black</FONT>"));
        EXPECT_EQ(p.Count(Reddish), 0);
        EXPECT_GT(p.Count(Dark), 5);
    }
    {
        Page p; // </FONT> returns to the starting colour
        p.Draw(QStringLiteral("<FONT COLOR=\"clRed\">red</FONT>MMMM"));
        const QRect red = p.Bounds(Reddish);
        const QRect dark = p.Bounds(Dark);
        EXPECT_GT(dark.right(), red.right());
    }
    {
        Page p; // kept colours: the colour tags are ignored
        THTMLDrawOptions o;
        o.KeepColors = true;
        p.Draw(QStringLiteral("<FONT COLOR=\"clRed\">red</FONT>"), o);
        EXPECT_EQ(p.Count(Reddish), 0);
    }
    {
        Page p; // a background colour behind the text
        p.Draw(QStringLiteral("<FONT BGCOLOR=\"clYellow\">marked</FONT>"));
        EXPECT_GT(widgettest::Count(p.Image(), [](QColor c) { return FromQColor(c) == clYellow; }), 50);
    }
    {
        Page p; // the canvas is as it was
        TCanvas& c = p.bitmap.Canvas();
        c.Pen().SetColor(clLime);
        c.Brush().SetColor(clFuchsia);
        c.Font().SetStyle(fsItalic);
        p.Draw(QStringLiteral("<B><FONT COLOR=\"clRed\" FACE=\"Courier\">x</FONT></B><HR>"));
        EXPECT_EQ(c.Pen().Color(), clLime);
        EXPECT_EQ(c.Brush().Color(), clFuchsia);
        EXPECT_EQ(c.Brush().Style(), bsSolid);
        EXPECT_EQ(c.Font().Style(), fsItalic);
        EXPECT_EQ(c.Font().Name(), QStringLiteral("Tahoma"));
        EXPECT_EQ(c.Font().Color(), clBlack);
    }
}

TEST(EsgHTMLERender, ParagraphAlignment)
{
    Page centred(300, 60);
    centred.Draw(QStringLiteral("<P ALIGN=\"CENTER\">middle</P>"));
    const QRect c = centred.Bounds(Dark);
    EXPECT_NEAR(c.center().x(), 150, 3);

    Page right(300, 60);
    right.Draw(QStringLiteral("<P ALIGN=\"right\">end<BR>two</P>"));
    const QImage img = right.Image();
    const QRect first = widgettest::Bounding(img, Dark, QRect(0, 0, 300, 15));
    EXPECT_GT(first.left(), 240);
    EXPECT_GE(first.right(), 295);
    // <BR> inside the paragraph keeps its alignment.
    const QRect second = widgettest::Bounding(img, Dark, QRect(0, 17, 300, 15));
    EXPECT_GT(second.left(), 240);

    Page indented(300, 60);
    indented.Draw(QStringLiteral("<P INDENT=\"40\">in</P>"));
    EXPECT_GE(indented.Bounds(Dark).left(), 40);
}

TEST(EsgHTMLERender, AnchorsAndHitTest)
{
    const QString html =
        QStringLiteral("go <A HREF=\"one\" TITLE=\"First\">first</A> or <A href=\"Two?a=1&amp;b=2\">second</A> x");
    Page p;
    p.Draw(html);
    // Both anchors in the anchor colour and underlined.
    const QRect blue = p.Bounds(Bluish);
    ASSERT_FALSE(blue.isEmpty());
    // The underline: a row of blue pixels as wide as "first".
    const int firstWidth = Measure(QStringLiteral("first")).Width;
    EXPECT_GE(widgettest::Count(p.Image(), Bluish, QRect(0, blue.bottom(), 300, 1)), firstWidth);

    // The second anchor: its blue pixels right of the " or ".
    const QImage img = p.Image();
    const QRect second = widgettest::Bounding(img, Bluish, QRect(blue.right() - 10, 0, 12, 40));
    THTMLDrawOptions o;
    o.HitTest = true;
    o.HitPoint = Point(second.left() + 3, blue.top() + 5);
    Page h;
    const THTMLDrawResult r = h.Draw(html, o);
    EXPECT_TRUE(h.hit);
    EXPECT_EQ(r.AnchorTarget, QStringLiteral("Two?a=1&b=2"));
    EXPECT_EQ(r.AnchorNumber, 2);
    EXPECT_TRUE(PtInRect(r.AnchorRect, o.HitPoint));

    o.HitPoint = Point(blue.left() + 2, blue.top() + 5);
    const THTMLDrawResult first = h.Draw(html, o);
    EXPECT_TRUE(h.hit);
    EXPECT_EQ(first.AnchorTarget, QStringLiteral("one"));
    EXPECT_EQ(first.AnchorTitle, QStringLiteral("First"));
    EXPECT_EQ(first.AnchorNumber, 1);

    o.HitPoint = Point(2, blue.top() + 5); // on "go"
    const THTMLDrawResult none = h.Draw(html, o);
    EXPECT_FALSE(h.hit);
    EXPECT_TRUE(none.AnchorTarget.isEmpty());
    EXPECT_EQ(none.AnchorNumber, 0);
    o.HitPoint = Point(second.left() + 3, 100); // below the line
    h.Draw(html, o);
    EXPECT_FALSE(h.hit);

    // Hovering the second anchor shows it in the hover colour.
    Page hover;
    THTMLDrawOptions ho;
    ho.HoverAnchor = 1;
    ho.AnchorHoverColor = clRed;
    hover.Draw(html, ho);
    const QRect red = hover.Bounds(Reddish);
    ASSERT_FALSE(red.isEmpty());
    EXPECT_GT(red.left(), hover.Bounds(Bluish).right());

    // Underlined only while hovered.
    Page quiet;
    THTMLDrawOptions qo;
    qo.AnchorUnderlineOnHover = true;
    quiet.Draw(html, qo);
    EXPECT_LT(quiet.Count(Bluish), p.Count(Bluish));
}

TEST(EsgHTMLERender, Pictures)
{
    TImageList images(16, 16);
    TBitmap strip(48, 16);
    for (int i = 0; i < 3; ++i) {
        strip.Canvas().Brush().SetColor(i == 0 ? clRed : i == 1 ? clGreen : clBlue);
        strip.Canvas().FillRect(Bounds(i * 16, 0, 16, 16));
    }
    images.Add(strip);
    ASSERT_EQ(images.Count(), 3);
    THTMLDrawOptions o;
    o.Images = &images;

    const int text = Measure(QStringLiteral("ab")).Width;
    {
        Page p;
        const THTMLDrawResult r = p.Draw(QStringLiteral("a<IMG SRC=\"IDX:1\">b"), o);
        EXPECT_GE(r.Width, text + 16);
        EXPECT_GE(r.Height, 16);
        EXPECT_EQ(widgettest::Count(p.Image(), [](QColor c) { return FromQColor(c) == clGreen; }), 256);
    }
    {
        // An index beyond the list takes no room.
        Page p;
        const THTMLDrawResult r = p.Draw(QStringLiteral("a<IMG SRC=\"IDX:3\">b"), o);
        EXPECT_EQ(r.Width, text);
    }
    {
        // Stretched to the given size; the picture under the point is a hit.
        Page p;
        const THTMLDrawResult r = p.Draw(QStringLiteral("<IMG SRC=\"idx:0\" WIDTH=\"32\" HEIGHT=\"20\">"), o);
        EXPECT_EQ(r.Width, 32);
        EXPECT_EQ(widgettest::Count(p.Image(), [](QColor c) { return FromQColor(c) == clRed; }), 32 * 20);
        THTMLDrawOptions h = o;
        h.HitTest = true;
        h.HitPoint = Point(10, 10);
        Page q;
        q.Draw(QStringLiteral("<IMG SRC=\"idx:0\" WIDTH=\"32\" HEIGHT=\"20\">"), h);
        EXPECT_TRUE(q.hit);
        h.HitPoint = Point(40, 10);
        q.Draw(QStringLiteral("<IMG SRC=\"idx:0\" WIDTH=\"32\" HEIGHT=\"20\">"), h);
        EXPECT_FALSE(q.hit);
    }

    // A named picture of the container (any case) and a file by address (the
    // path keeps its case).
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = QDir(dir.path()).filePath(QStringLiteral("Logo Pic.PNG"));
    QImage logo(10, 6, QImage::Format_RGB32);
    logo.fill(QColor(0, 0, 255));
    ASSERT_TRUE(logo.save(path, "PNG"));
    TPictureContainer container;
    TPictureItem* item = container.Items().Add();
    item->SetName(QStringLiteral("Logo"));
    item->Picture().LoadFromFile(path);
    ASSERT_FALSE(item->Picture().Empty());
    THTMLPictureCache cache;
    THTMLDrawOptions po;
    po.PictureContainer = &container;
    po.PictureCache = &cache;
    {
        Page p;
        const THTMLDrawResult r = p.Draw(QStringLiteral("<IMG SRC=\"LOGO\">"), po);
        EXPECT_EQ(r.Width, 10);
        EXPECT_EQ(widgettest::Count(p.Image(), [](QColor c) { return FromQColor(c) == clBlue; }), 60);
    }
    {
        Page p;
        const THTMLDrawResult r = p.Draw(QStringLiteral("<img src=\"file://") + path + QStringLiteral("\">"), po);
        EXPECT_EQ(r.Width, 10);
        ASSERT_EQ(cache.Count(), 1);
        EXPECT_EQ(cache.Items(0)->ID(), QStringLiteral("file://") + path);
        // Drawn again from the cache.
        p.Draw(QStringLiteral("<img src=\"file://") + path + QStringLiteral("\">"), po);
        EXPECT_EQ(cache.Count(), 1);
    }
    {
        // Nothing is fetched from other addresses: no room taken.
        Page p;
        const THTMLDrawResult r = p.Draw(QStringLiteral("x<IMG SRC=\"http://example.invalid/a.png\">"), po);
        EXPECT_EQ(r.Width, Measure(QStringLiteral("x")).Width);
    }
}

TEST(EsgHTMLERender, FormControls)
{
    ThemesOff off; // classic controls, drawn the same everywhere
    const TColor mark = ColorToRGB(clWindowText);
    auto checkInk = [&](const QString& html) {
        Page p(100, 40);
        p.Draw(html);
        // The 13 x 13 box, 2 pixels from the left, inside it.
        return widgettest::Count(p.Image(), [&](QColor c) { return FromQColor(c) == mark; }, QRect(5, 4, 7, 7));
    };
    EXPECT_GT(checkInk(QStringLiteral("<CONTROL TYPE=\"CHECK\" VALUE=\"true\" ID=\"c\">")), 8);
    EXPECT_GT(checkInk(QStringLiteral("<control type=\"check\" value=\"TRUE\" id=\"c\">")), 8);
    EXPECT_EQ(checkInk(QStringLiteral("<CONTROL TYPE=\"CHECK\" VALUE=\"false\" ID=\"c\">")), 0);

    // An edit box: white with a grey frame, WIDTH wide; the line is 23 high.
    const QString edit = QStringLiteral("Name <CONTROL TYPE=\"EDIT\" ID=\"name\" WIDTH=\"80\" VALUE=\"say &quot;hi&quot;\">");
    Page p(200, 40);
    p.bitmap.Canvas().Brush().SetColor(clSilver);
    p.bitmap.Canvas().FillRect(Rect(0, 0, 200, 40));
    const THTMLDrawResult r = p.Draw(edit);
    EXPECT_EQ(r.Height, 23);
    const QRect grey = p.Bounds([](QColor c) { return FromQColor(c) == 0x808080; });
    EXPECT_EQ(grey.width(), 80);
    const int nameWidth = Measure(QStringLiteral("Name ")).Width;
    // The blank before the control counts: it is not at the end of the line.
    EXPECT_GT(r.Width, nameWidth + 80);
    EXPECT_LE(r.Width, nameWidth + 80 + 8);

    // Hit-testing the box reports the control, its value with its quotes.
    THTMLDrawOptions o;
    o.HitTest = true;
    o.HitPoint = Point(grey.left() + 10, grey.top() + 5);
    Page h(200, 40);
    const THTMLDrawResult hit = h.Draw(edit, o);
    EXPECT_TRUE(h.hit);
    EXPECT_EQ(hit.AnchorTarget, QStringLiteral("ctrl"));
    EXPECT_EQ(hit.ControlType, QStringLiteral("EDIT"));
    EXPECT_EQ(hit.ControlID, QStringLiteral("name"));
    EXPECT_EQ(hit.ControlValue, QStringLiteral("say \"hi\""));
    EXPECT_TRUE(PtInRect(hit.ControlRect, o.HitPoint));
}

TEST(EsgHTMLERender, ListsRulesAndHighlight)
{
    const int line = Measure(QStringLiteral("gh")).Height;
    // A list: one line per item, indented by 12 pixels a level.
    Page p(200, 100);
    const THTMLDrawResult r = p.Draw(QStringLiteral("<UL><LI>one</LI><LI>two</LI></UL>end"));
    EXPECT_EQ(r.PlainText.count(QLatin1Char('\r')), 3);
    const QImage img = p.Image();
    EXPECT_FALSE(widgettest::Bounding(img, Dark, QRect(0, line, 12, line)).isEmpty()); // the bullet
    EXPECT_EQ(Measure(QStringLiteral("<UL><LI>one")).Width, 12 + Measure(QStringLiteral("one")).Width);
    EXPECT_EQ(Measure(QStringLiteral("<UL><UL><LI>one")).Width, 24 + Measure(QStringLiteral("one")).Width);

    // A rule under its line, across the rectangle.
    Page rule(100, 60);
    rule.Draw(QStringLiteral("a<HR>b"));
    EXPECT_EQ(widgettest::Count(rule.Image(), [](QColor c) { return FromQColor(c) == clBlack; }, QRect(0, line, 100, 1)),
              100);

    // Highlighted text takes the highlight colours.
    StoreHighlightColors(clYellow, clRed);
    Page hi;
    hi.Draw(QStringLiteral("a<HI>marked</HI>b"));
    EXPECT_GT(widgettest::Count(hi.Image(), [](QColor c) { return FromQColor(c) == clYellow; }), 50);
    EXPECT_GT(hi.Count(Reddish), 5);
    StoreHighlightColors(clHighlight, clHighlightText);
    EXPECT_EQ(HighlightBackColor(), clHighlight);
}

TEST(EsgHTMLERender, AnyInputIsSafe)
{
    // Pieces of mark-up thrown together at random: rendering, hit-testing and
    // the text routines finish and stay within their data.
    const char* const pieces[] = {"<", ">", "</", "<B>", "</B>", "<A HREF=\"x\">", "</A>", "<FONT SIZE=\"",
                                  "COLOR=\"#", "\"", "<P ALIGN=\"CENTER\" INDENT=\"", "</P>", "<UL>", "</UL>", "<LI>",
                                  "</LI>", "<IMG SRC=\"IDX:", "WIDTH=\"", "HEIGHT=\"", "<CONTROL TYPE=\"", "EDIT",
                                  "CHECK", "BUTTON", "COMBO", "<SUB>", "<SUP>", "</SU", "<R a=\"", "90", "-5",
                                  "99999999999", "<IND x=\"", "<BR>", "<HR>", "<HI>", "</HI>", "<Z>", "</Z>", "&amp;",
                                  "&", "&lt;", "<#", "\r\n", " ", "word", "<BODY BGCOLOR=\"clRed\">", "<E>", "<SHAD>",
                                  "<BLINK>", "</BLINK>", "<S>", "</S>", "<U>", "</U>", "ID=\"", "VALUE=\""};
    TImageList images(8, 8);
    TBitmap strip(16, 8);
    images.Add(strip);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 400; ++round) {
        QString html;
        const int count = static_cast<int>(next() % 30);
        for (int k = 0; k < count; ++k)
            html += QString::fromUtf8(pieces[next() % std::size(pieces)]);
        Page p(120, 60);
        THTMLDrawOptions o;
        o.Images = &images;
        o.WordWrap = next() % 2 == 0;
        o.FocusAnchor = 0;
        p.Draw(html, o, Rect(0, 0, 120, 60));
        o.HitTest = true;
        o.HitPoint = Point(static_cast<int>(next() % 120), static_cast<int>(next() % 60));
        p.Draw(html, o, Rect(0, 0, 120, 60));
        StripHTMLTags(html);
        MarkHTMLMatches(html, QStringLiteral("o"), QStringLiteral("HI"), false);
        NextHTMLEditControl(html, QString());
        QString copy = html;
        ReplaceHTMLControlValue(copy, QString(), QStringLiteral("v"));
        ClearHTMLRadioControls(html);
        DecodeHTMLEntities(EncodeHTMLEntities(html, true), true);
    }
}
