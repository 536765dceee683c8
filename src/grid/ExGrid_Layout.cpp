// Layout persistence of the string grid: the column state string, column
// widths and order in the ColumnSize store, and the print settings in an INI
// section.
//
// What is read back is checked whole before the grid changes, so a damaged
// layout never leaves a grid half restored. INI files are rewritten through
// a temporary file: a failed save leaves the old file whole.

#include "grid/ExGrid.h"

#include "platform/ColorNames.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/NumberText.h"
#include "platform/TextCodec.h"
#include "platform/Unsupported.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

using namespace platform;

namespace {

[[noreturn]] void BadLayout(const QString& what)
{
    throw REruVidaZuvez(QStringLiteral("Invalid column layout: %1").arg(what));
}

// A decimal integer (the form the state string is written in), else nothing.
std::optional<int> DecimalOf(const QString& text)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    return ok ? std::optional<int>(v) : std::nullopt;
}

std::vector<int> DecimalList(const QString& field, const char* name)
{
    std::vector<int> values;
    if (field.isEmpty())
        return values;
    for (const QString& item : field.split(u',')) {
        const auto v = DecimalOf(item);
        if (!v)
            BadLayout(QStringLiteral("\"%1\" in the %2 is no number").arg(item, QLatin1String(name)));
        values.push_back(*v);
    }
    return values;
}

// For p = 0 .. count - 1, the positions of the entries equal to p, in
// ascending position: the order list turned from "which column is here"
// into "where each column goes".
std::vector<int> Inverted(const std::vector<int>& entries, int count)
{
    std::vector<int> result;
    for (int p = 0; p < count; ++p)
        for (int j = 0; j < static_cast<int>(entries.size()); ++j)
            if (entries[static_cast<size_t>(j)] == p)
                result.push_back(j);
    return result;
}

// Each entry other than -1 names a column 0 .. count - 1, none twice.
bool IsPartialPermutation(const std::vector<int>& entries, int count)
{
    std::vector<bool> seen(static_cast<size_t>(count), false);
    for (int e : entries) {
        if (e == -1)
            continue;
        if (e < 0 || e >= count || seen[static_cast<size_t>(e)])
            return false;
        seen[static_cast<size_t>(e)] = true;
    }
    return true;
}

// The grid allows no more columns than this from a stored layout; a larger
// count is a damaged string, not a layout.
constexpr int MaxStoredColumns = 100000;

} // namespace

// ---------------------------------------------------------------------------
// Column state string
// ---------------------------------------------------------------------------

QString TExStringGrid::ColumnStatesToString()
{
    const int total = ColCount() + NumHiddenColumns();
    QStringList widths, order, visible;
    for (int i = 0; i < total; ++i)
        widths.append(QString::number(i < ColCount() ? ColWidths(i) : DefaultColWidth()));
    if (FColumnOrder.Count() == 0) {
        for (int i = 0; i < total; ++i)
            order.append(QString::number(i));
    } else {
        for (int i = 0; i < FColumnOrder.Count(); ++i)
            order.append(QString::number(FColumnOrder.GetInteger(i)));
    }
    for (int c = 0; c < total; ++c)
        visible.append(c < MaxHiddenColumns && IsHiddenColumn(c) ? QStringLiteral("0") : QStringLiteral("1"));
    return QString::number(total) + u'#' + widths.join(u',') + u'#' + order.join(u',') + u'#' + visible.join(u',');
}

void TExStringGrid::StringToColumnStates(const QString& states)
{
    if (!states.contains(u'#'))
        return;
    const QStringList fields = states.split(u'#');
    if (fields.size() != 4)
        BadLayout(QStringLiteral("%1 fields instead of 4").arg(fields.size()));
    const auto count = DecimalOf(fields[0]);
    if (!count || *count < 1 || *count > MaxStoredColumns)
        BadLayout(QStringLiteral("the column count \"%1\"").arg(fields[0]));
    const int n = *count;
    const std::vector<int> widths = DecimalList(fields[1], "widths");
    const std::vector<int> order = DecimalList(fields[2], "column order");
    const QStringList flags = fields[3].split(u',');
    if (static_cast<int>(widths.size()) != n)
        BadLayout(QStringLiteral("%1 widths for %2 columns").arg(widths.size()).arg(n));
    if (std::any_of(widths.begin(), widths.end(), [](int w) { return w < 0; }))
        BadLayout(QStringLiteral("a negative width"));
    if (!order.empty() && (static_cast<int>(order.size()) != n || !IsPartialPermutation(order, n)))
        BadLayout(QStringLiteral("the column order \"%1\"").arg(fields[2]));
    if (flags.size() != n)
        BadLayout(QStringLiteral("%1 visible flags for %2 columns").arg(flags.size()).arg(n));
    for (const QString& f : flags)
        if (f != u'0' && f != u'1')
            BadLayout(QStringLiteral("the visible flag \"%1\"").arg(f));

    FColumnOrder.Clear();
    UnHideColumnsAll();
    SetColCount(n);

    if (!order.empty()) {
        std::vector<int> entries;
        for (int e : order)
            if (e != -1)
                entries.push_back(e);
        FColumnOrder.Clear();
        for (int j : Inverted(entries, ColCount()))
            FColumnOrder.Add(j);
        if (FColumnOrder.Count() > 0)
            ResetColumnOrder();
        FColumnOrder.Clear();
        for (int e : entries)
            FColumnOrder.Add(e);
    }

    // Downward, so the lower indices stay valid while columns disappear.
    for (int c = std::min(n, MaxHiddenColumns) - 1; c >= 0; --c)
        if (flags[c] == u'0')
            HideColumn(c);

    const bool stretch = FColumnSize->Stretch();
    FColumnSize->SetStretch(false);
    if (stretch) {
        const int sc = FColumnSize->StretchColumn() == -1 ? ColCount() - 1 : FColumnSize->StretchColumn();
        SetDefaultColWidth(ColWidths(sc));
    }
    for (int i = 0; i < ColCount(); ++i)
        SetColWidths(i, widths[static_cast<size_t>(i)]);
    FColumnSize->SetStretch(stretch);
    if (stretch)
        StretchRightColumn();
}

// ---------------------------------------------------------------------------
// Column widths and order in the ColumnSize store
// ---------------------------------------------------------------------------

namespace {

// The store the ColumnSize settings name, or nothing when they name none.
std::optional<TMemIniFile> OpenColumnStore(TColumnSize& settings, bool designing)
{
    if (settings.Key().isEmpty() || settings.Section().isEmpty() || designing)
        return std::nullopt;
    if (settings.Location() == clRegistry)
        throw REruVidaZuvez(NotAvailableMessage(QStringLiteral("The registry")));
    return TMemIniFile(settings.Key());
}

void FlushIni(const TMemIniFile& store)
{
    try {
        store.UpdateFile();
    } catch (const std::runtime_error& e) {
        throw REruVidaZuvez(QString::fromStdString(e.what()));
    }
}

} // namespace

void TExStringGrid::SaveColSizes()
{
    auto store = OpenColumnStore(*FColumnSize, Designing());
    if (!store)
        return;
    const QString section = FColumnSize->Section();
    for (int i = 0; i < ColCount(); ++i)
        store->WriteInteger(section, QStringLiteral("Col%1").arg(i), ColWidths(i));
    FlushIni(*store);
}

void TExStringGrid::LoadColSizes()
{
    auto store = OpenColumnStore(*FColumnSize, Designing());
    if (!store)
        return;
    const QString section = FColumnSize->Section();
    std::vector<int> widths;
    for (int i = 0; i < ColCount(); ++i) {
        widths.push_back(store->ReadInteger(section, QStringLiteral("Col%1").arg(i), ColWidths(i)));
        if (widths.back() < 0)
            BadLayout(QStringLiteral("the width of column %1 in \"%2\"").arg(i).arg(store->FileName()));
    }
    for (int i = 0; i < ColCount(); ++i)
        if (ColWidths(i) != widths[static_cast<size_t>(i)])
            SetColWidths(i, widths[static_cast<size_t>(i)]);
    FlushIni(*store);
}

void TExStringGrid::SaveColPositions()
{
    auto store = OpenColumnStore(*FColumnSize, Designing());
    if (!store)
        return;
    const QString section = FColumnSize->Section();
    for (int i = 0; i < FColumnOrder.Count(); ++i)
        store->WriteInteger(section, QStringLiteral("Pos%1").arg(i), FColumnOrder.GetInteger(i));
    FlushIni(*store);
}

void TExStringGrid::LoadColPositions()
{
    auto store = OpenColumnStore(*FColumnSize, Designing());
    if (!store)
        return;
    const QString section = FColumnSize->Section();
    if (store->ReadInteger(section, QStringLiteral("Pos0"), -1) == -1)
        return;
    const int total = AllColCount();
    std::vector<int> entries;
    for (int i = 0; i < total; ++i) {
        const int e = store->ReadInteger(section, QStringLiteral("Pos%1").arg(i), -1);
        if (e != -1)
            entries.push_back(e);
    }
    // Every column must have its place, or the grid would be reordered by
    // half a layout.
    if (static_cast<int>(entries.size()) != total || !IsPartialPermutation(entries, total))
        BadLayout(QStringLiteral("the column positions in \"%1\"").arg(store->FileName()));

    std::vector<int> hidden;
    for (int c = 0; c < std::min(total, MaxHiddenColumns); ++c)
        if (IsHiddenColumn(c))
            hidden.push_back(c);
    FColumnOrder.Clear();
    for (int j : Inverted(entries, total))
        FColumnOrder.Add(j);
    UnHideColumnsAll();
    if (FColumnOrder.Count() > 0)
        ResetColumnOrder();
    for (int c : hidden)
        HideColumn(c);
    FColumnOrder.Clear();
    for (int e : entries)
        FColumnOrder.Add(e);
    FlushIni(*store);
}

// ---------------------------------------------------------------------------
// Print settings in an INI section
// ---------------------------------------------------------------------------

namespace {

QString YesNo(bool v)
{
    return v ? QStringLiteral("Y") : QStringLiteral("N");
}

void WriteFont(TMemIniFile& ini, const QString& section, const QString& prefix, const TFont& font)
{
    ini.WriteString(section, prefix + QStringLiteral("Name"), font.Name());
    ini.WriteInteger(section, prefix + QStringLiteral("Size"), font.Size());
    ini.WriteInteger(section, prefix + QStringLiteral("Style"), static_cast<int>(font.Style()));
    ini.WriteInteger(section, prefix + QStringLiteral("Color"), static_cast<int>(font.Color()));
}

void ReadFont(const TMemIniFile& ini, const QString& section, const QString& prefix, TFont& font)
{
    font.SetName(ini.ReadString(section, prefix + QStringLiteral("Name"), QStringLiteral("Arial")));
    font.SetSize(ini.ReadInteger(section, prefix + QStringLiteral("Size"), 10));
    // The stored bits are added: a stored 0 clears nothing.
    const auto bits = static_cast<TFontStyles>(ini.ReadInteger(section, prefix + QStringLiteral("Style"), 0));
    font.SetStyle(font.Style() | (bits & (fsBold | fsItalic | fsUnderline | fsStrikeOut)));
    font.SetColor(static_cast<TColor>(ini.ReadInteger(section, prefix + QStringLiteral("Color"), 0)));
}

// An ordinal 0 .. last sets the value; any other number leaves it.
template <typename E>
void ReadOrdinal(const TMemIniFile& ini, const QString& section, const QString& key, int last, E& value)
{
    const int v = ini.ReadInteger(section, key, 0);
    if (v >= 0 && v <= last)
        value = static_cast<E>(v);
}

// 1 .. 6 are the positions; anything else is ppNone.
TPrintPosition ReadPosition(const TMemIniFile& ini, const QString& section, const QString& key)
{
    const int v = ini.ReadInteger(section, key, 0);
    return v >= 1 && v <= 6 ? static_cast<TPrintPosition>(v) : ppNone;
}

} // namespace

void TExStringGrid::SavePrintSettings(const QString& key, const QString& section)
{
    const TPrintSettings& ps = *FPrintSettings;
    TMemIniFile ini(key);
    const auto integer = [&](const char* name, int v) { ini.WriteInteger(section, QLatin1String(name), v); };
    const auto flag = [&](const char* name, bool v) { ini.WriteString(section, QLatin1String(name), YesNo(v)); };
    const auto text = [&](const char* name, const QString& v) { ini.WriteString(section, QLatin1String(name), v); };
    integer("ColumnSpacing", ps.ColumnSpacing);
    integer("RowSpacing", ps.RowSpacing);
    integer("TitleSpacing", ps.TitleSpacing);
    integer("FixedHeight", ps.FixedHeight);
    integer("FixedWidth", ps.FixedWidth);
    flag("Centered", ps.Centered);
    flag("NoAutoSize", ps.NoAutoSize);
    flag("UseFixedHeight", ps.UseFixedHeight);
    flag("UseFixedWidth", ps.UseFixedWidth);
    flag("RepeatFixedRows", ps.RepeatFixedRows);
    flag("RepeatFixedCols", ps.RepeatFixedCols);
    flag("UseDisplFont", ps.UseDisplayFont);
    flag("UseDefOrientation", ps.UseDefaultOrientation);
    integer("Borders", static_cast<int>(ps.Borders));
    integer("BorderColor", static_cast<int>(ps.BorderColor));
    integer("BorderStyle", static_cast<int>(ps.BorderStyle));
    integer("Date", static_cast<int>(ps.Date));
    integer("PageNr", static_cast<int>(ps.PageNr));
    integer("Title", static_cast<int>(ps.Title));
    integer("Time", static_cast<int>(ps.Time));
    text("DateFormat", ps.DateFormat);
    text("TitleText", ps.TitleText);
    integer("FooterSize", ps.FooterSize);
    integer("HeaderSize", ps.HeaderSize);
    integer("LeftSize", ps.LeftSize);
    integer("RightSize", ps.RightSize);
    integer("FitToPage", static_cast<int>(ps.FitToPage));
    WriteFont(ini, section, QStringLiteral("Font"), ps.Font);
    WriteFont(ini, section, QStringLiteral("HeaderFont"), ps.HeaderFont);
    WriteFont(ini, section, QStringLiteral("FooterFont"), ps.FooterFont);
    text("PageNumSep", ps.PageNumSep);
    text("PageSuffix", ps.PageSuffix);
    text("PagePrefix", ps.PagePrefix);
    integer("Orientation", static_cast<int>(ps.Orientation));
    // The list's text (each line ended by CR LF) on one line: CR as "\n", LF dropped.
    QString lines;
    for (const QString& line : ps.TitleLines)
        lines += line + QStringLiteral("\\n");
    text("TitleLines", lines);
    flag("PrintGraphics", ps.PrintGraphics);
    FlushIni(ini);
}

void TExStringGrid::LoadPrintSettings(const QString& key, const QString& section)
{
    TPrintSettings& ps = *FPrintSettings;
    TMemIniFile ini(key);
    const auto integer = [&](const char* name, int fallback) {
        return ini.ReadInteger(section, QLatin1String(name), fallback);
    };
    const auto flag = [&](const char* name, bool fallback) {
        return ini.ReadString(section, QLatin1String(name), YesNo(fallback)) == u'Y';
    };
    const auto text = [&](const char* name) { return ini.ReadString(section, QLatin1String(name), QString()); };
    ps.ColumnSpacing = integer("ColumnSpacing", 20);
    ps.RowSpacing = integer("RowSpacing", 20);
    ps.TitleSpacing = integer("TitleSpacing", 20);
    ps.FixedHeight = integer("FixedHeight", 0);
    ps.FixedWidth = integer("FixedWidth", 0);
    ps.Centered = flag("Centered", true);
    ps.NoAutoSize = flag("NoAutoSize", false);
    ps.UseFixedHeight = flag("UseFixedHeight", false);
    ps.UseFixedWidth = flag("UseFixedWidth", false);
    ps.RepeatFixedRows = flag("RepeatFixedRows", false);
    ps.RepeatFixedCols = flag("RepeatFixedCols", false);
    ps.UseDisplayFont = flag("UseDisplFont", false);
    ps.UseDefaultOrientation = flag("UseDefOrientation", false);
    ReadOrdinal(ini, section, QStringLiteral("Borders"), 8, ps.Borders);
    ps.BorderColor = static_cast<TColor>(integer("BorderColor", 0));
    ReadOrdinal(ini, section, QStringLiteral("BorderStyle"), 6, ps.BorderStyle);
    ps.Date = ReadPosition(ini, section, QStringLiteral("Date"));
    ps.PageNr = ReadPosition(ini, section, QStringLiteral("PageNr"));
    ps.Title = ReadPosition(ini, section, QStringLiteral("Title"));
    ps.Time = ReadPosition(ini, section, QStringLiteral("Time"));
    ps.DateFormat = text("DateFormat");
    ps.TitleText = text("TitleText");
    ps.FooterSize = integer("FooterSize", 100);
    ps.HeaderSize = integer("HeaderSize", 100);
    ps.LeftSize = integer("LeftSize", 100);
    ps.RightSize = integer("RightSize", 100);
    ReadOrdinal(ini, section, QStringLiteral("FitToPage"), 4, ps.FitToPage);
    ReadFont(ini, section, QStringLiteral("Font"), ps.Font);
    ReadFont(ini, section, QStringLiteral("HeaderFont"), ps.HeaderFont);
    ReadFont(ini, section, QStringLiteral("FooterFont"), ps.FooterFont);
    ps.PageNumSep = text("PageNumSep");
    ps.PageSuffix = text("PageSuffix");
    ps.PagePrefix = text("PagePrefix");
    ReadOrdinal(ini, section, QStringLiteral("Orientation"), 1, ps.Orientation);
    ps.TitleLines = SplitLines(text("TitleLines").replace(QStringLiteral("\\n"), QStringLiteral("\r\n")));
    ps.PrintGraphics = flag("PrintGraphics", false);
    FlushIni(ini);
}

// ---------------------------------------------------------------------------
// Visual properties file
// ---------------------------------------------------------------------------

namespace {

// One line of the file: how it is written, and how its text becomes the step
// that assigns it. Every value is converted before the first is assigned, so
// a bad file leaves the grid as it was.
struct TVisualProp
{
    QString key;
    std::function<QString()> write;
    std::function<std::function<void()>(const QString&)> read;
};

int IntegerOf(const QString& text)
{
    if (const auto v = ParseNumber(text))
        return *v;
    throw std::invalid_argument("'" + text.toStdString() + "' is not a valid integer value");
}

class TVisualProps
{
public:
    std::vector<TVisualProp> Props;

    template <typename Get, typename Set>
    void Colour(const char* key, Get get, Set set)
    {
        Props.push_back({QLatin1String(key), [get] { return ColorToString(get()); }, [set](const QString& v) {
                             const TColor c = v.isEmpty() ? clNone : StringToColor(v);
                             return std::function<void()>([set, c] { set(c); });
                         }});
    }
    template <typename Get, typename Set>
    void Boolean(const char* key, Get get, Set set)
    {
        Props.push_back({QLatin1String(key), [get] { return get() ? QStringLiteral("true") : QStringLiteral("false"); },
                         [set](const QString& v) {
                             const bool b = v.toUpper() == QLatin1String("TRUE");
                             return std::function<void()>([set, b] { set(b); });
                         }});
    }
    template <typename Get, typename Set>
    void Integer(const char* key, Get get, Set set)
    {
        Props.push_back({QLatin1String(key), [get] { return QString::number(get()); }, [set](const QString& v) {
                             const int i = IntegerOf(v);
                             return std::function<void()>([set, i] { set(i); });
                         }});
    }
    // Names in ordinal order; an empty name is never matched (glCustom).
    template <typename E, typename Get, typename Set>
    void Enumeration(const char* key, QStringList names, Get get, Set set)
    {
        Props.push_back({QLatin1String(key),
                         [get, names] {
                             const int o = static_cast<int>(get());
                             return o < names.size() ? names[o] : QString();
                         },
                         [set, names](const QString& v) {
                             int o = -1;
                             for (int i = 0; i < names.size() && o < 0 && !v.isEmpty(); ++i)
                                 if (names[i].toUpper() == v.toUpper())
                                     o = i;
                             return std::function<void()>([set, o] {
                                 if (o >= 0)
                                     set(static_cast<E>(o));
                             });
                         }});
    }
    void Font(const char* key, std::function<TFont&()> font)
    {
        const QString k = QLatin1String(key);
        Colour((k + QStringLiteral(".Color")).toLatin1().constData(), [font] { return font().Color(); },
               [font](TColor c) { font().SetColor(c); });
        static const char* const styleNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
        Props.push_back({k + QStringLiteral(".Style"),
                         [font] {
                             QStringList set;
                             for (int b = 0; b < 4; ++b)
                                 if (font().Style() & (1u << b))
                                     set.append(QLatin1String(styleNames[b]));
                             return set.join(u',');
                         },
                         [font](const QString& v) {
                             TFontStyles s = 0;
                             for (int b = 0; b < 4; ++b)
                                 if (v.contains(QLatin1String(styleNames[b])))
                                     s |= 1u << b;
                             return std::function<void()>([font, s] { font().SetStyle(s); });
                         }});
        Integer((k + QStringLiteral(".Size")).toLatin1().constData(), [font] { return font().Size(); },
                [font](int size) { font().SetSize(size); });
        Props.push_back({k + QStringLiteral(".Name"), [font] { return font().Name(); }, [font](const QString& v) {
                             return std::function<void()>([font, v] {
                                 if (!v.isEmpty())
                                     font().SetName(v);
                             });
                         }});
    }
};

// The value of the first line whose text before its first "=" is the key.
QString ValueOf(const QStringList& lines, const QString& key)
{
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && line.left(eq).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return QString();
}

} // namespace

// The properties in the order of the file.
static TVisualProps VisualPropsOf(TExStringGrid& g)
{
    TVisualProps p;
    p.Colour("Color", [&g] { return g.Color(); }, [&g](TColor c) { g.SetColor(c); });
    p.Colour("HintColor", [&g] { return g.HintColor(); }, [&g](TColor c) { g.SetHintColor(c); });
    p.Colour("SelectionColor", [&g] { return g.SelectionColor(); }, [&g](TColor c) { g.SetSelectionColor(c); });
    p.Colour("SelectionColorTo", [&g] { return g.SelectionColorTo(); }, [&g](TColor c) { g.SetSelectionColorTo(c); });
    p.Colour("SelectionMirrorColor", [&g] { return g.SelectionMirrorColor(); },
             [&g](TColor c) { g.SetSelectionMirrorColor(c); });
    p.Colour("SelectionMirrorColorTo", [&g] { return g.SelectionMirrorColorTo(); },
             [&g](TColor c) { g.SetSelectionMirrorColorTo(c); });
    p.Colour("SelectionTextColor", [&g] { return g.SelectionTextColor(); },
             [&g](TColor c) { g.SetSelectionTextColor(c); });
    p.Colour("URLColor", [&g] { return g.URLColor(); }, [&g](TColor c) { g.SetURLColor(c); });
    p.Boolean("URLShow", [&g] { return g.URLShow(); }, [&g](bool b) { g.SetURLShow(b); });
    p.Boolean("URLShowInText", [&g] { return g.URLShowInText(); }, [&g](bool b) { g.SetURLShowInText(b); });
    p.Colour("ScrollColor", [&g] { return g.ScrollColor(); }, [&g](TColor c) { g.SetScrollColor(c); });
    p.Colour("ActiveRowColor", [&g] { return g.ActiveRowColor(); }, [&g](TColor c) { g.SetActiveRowColor(c); });
    p.Boolean("ActiveRowShow", [&g] { return g.ActiveRowShow(); }, [&g](bool b) { g.SetActiveRowShow(b); });
    p.Boolean("ActiveCellShow", [&g] { return g.ActiveCellShow(); }, [&g](bool b) { g.SetActiveCellShow(b); });
    p.Font("Font", [&g]() -> TFont& { return g.Font(); });
    p.Colour("ActiveCellColor", [&g] { return g.ActiveCellColor(); }, [&g](TColor c) { g.SetActiveCellColor(c); });
    p.Colour("ActiveCellColorTo", [&g] { return g.ActiveCellColorTo(); },
             [&g](TColor c) { g.SetActiveCellColorTo(c); });
    p.Font("ActiveCellFont", [&g]() -> TFont& { return g.ActiveCellFont(); });
    p.Font("FixedFont", [&g]() -> TFont& { return g.FixedFont(); });
    auto& balloon = g.Balloon();
    p.Colour("Balloon.BackgroundColor", [&balloon] { return balloon.BackgroundColor(); },
             [&balloon](TColor c) { balloon.SetBackgroundColor(c); });
    p.Colour("Balloon.TextColor", [&balloon] { return balloon.TextColor(); },
             [&balloon](TColor c) { balloon.SetTextColor(c); });
    p.Integer("Balloon.Transparency", [&balloon] { return balloon.Transparency(); },
              [&balloon](int v) { balloon.SetTransparency(v); });
    auto& bands = g.Bands();
    p.Colour("Bands.PrimaryColor", [&bands] { return bands.PrimaryColor(); },
             [&bands](TColor c) { bands.SetPrimaryColor(c); });
    p.Colour("Bands.SecondaryColor", [&bands] { return bands.SecondaryColor(); },
             [&bands](TColor c) { bands.SetSecondaryColor(c); });
    p.Boolean("Bands.Active", [&bands] { return bands.Active(); }, [&bands](bool b) { bands.SetActive(b); });
    auto& sort = g.SortSettings();
    p.Colour("SortSettings.IndexColor", [&sort] { return sort.IndexColor(); },
             [&sort](TColor c) { sort.SetIndexColor(c); });
    auto& footer = g.FloatingFooter();
    p.Colour("FloatingFooter.Color", [&footer] { return footer.Color(); },
             [&footer](TColor c) { footer.SetColor(c); });
    auto& look = g.ControlLook();
    p.Integer("ControlLook.CheckSize", [&look] { return look.CheckSize(); }, [&look](int v) { look.SetCheckSize(v); });
    p.Colour("ControlLook.Color", [&look] { return look.Color(); }, [&look](TColor c) { look.SetColor(c); });
    p.Colour("ControlLook.CommentColor", [&look] { return look.CommentColor(); },
             [&look](TColor c) { look.SetCommentColor(c); });
    p.Enumeration<TControlStyle>(
        "ControlLook.ControlStyle",
        {"csClassic", "csFlat", "csWinXP", "csPellmar", "csQRV", "csGlyph", "csTheme"},
        [&look] { return look.ControlStyle(); }, [&look](TControlStyle s) { look.SetControlStyle(s); });
    p.Colour("ControlLook.FixedGradientFrom", [&look] { return look.FixedGradientFrom(); },
             [&look](TColor c) { look.SetFixedGradientFrom(c); });
    p.Colour("ControlLook.FixedGradientTo", [&look] { return look.FixedGradientTo(); },
             [&look](TColor c) { look.SetFixedGradientTo(c); });
    p.Integer("ControlLook.RadioSize", [&look] { return look.RadioSize(); }, [&look](int v) { look.SetRadioSize(v); });
    p.Boolean("ControlLook.FlatButton", [&look] { return look.FlatButton(); },
              [&look](bool b) { look.SetFlatButton(b); });
    p.Colour("ControlLook.ProgressBorderColor", [&look] { return look.ProgressBorderColor(); },
             [&look](TColor c) { look.SetProgressBorderColor(c); });
    p.Boolean("ControlLook.ProgressXP", [&look] { return look.ProgressXP(); },
              [&look](bool b) { look.SetProgressXP(b); });
    p.Enumeration<TGridLook>(
        "Look", {"glStandard", "glSoft", "glClassic", "glQRV", "glXP", "glListView", "glVista", "glWin7", "glOffice2007"},
        [&g] { return g.Look(); }, [&g](TGridLook l) { g.SetLook(l); });
    auto& search = g.SearchFooter();
    p.Colour("SearchFooter.Color", [&search] { return search.Color(); }, [&search](TColor c) { search.SetColor(c); });
    p.Colour("SearchFooter.ColorTo", [&search] { return search.ColorTo(); },
             [&search](TColor c) { search.SetColorTo(c); });
    auto& gr = g.Grouping();
    p.Colour("Grouping.HeaderColor", [&gr] { return gr.HeaderColor(); }, [&gr](TColor c) { gr.SetHeaderColor(c); });
    p.Colour("Grouping.HeaderColorTo", [&gr] { return gr.HeaderColorTo(); },
             [&gr](TColor c) { gr.SetHeaderColorTo(c); });
    p.Colour("Grouping.HeaderTextColor", [&gr] { return gr.HeaderTextColor(); },
             [&gr](TColor c) { gr.SetHeaderTextColor(c); });
    p.Boolean("Grouping.HeaderUnderline", [&gr] { return gr.HeaderUnderline(); },
              [&gr](bool b) { gr.SetHeaderUnderline(b); });
    p.Colour("Grouping.HeaderLineColor", [&gr] { return gr.HeaderLineColor(); },
             [&gr](TColor c) { gr.SetHeaderLineColor(c); });
    p.Integer("Grouping.HeaderLineWidth", [&gr] { return gr.HeaderLineWidth(); },
              [&gr](int v) { gr.SetHeaderLineWidth(v); });
    p.Colour("Grouping.SummaryColor", [&gr] { return gr.SummaryColor(); }, [&gr](TColor c) { gr.SetSummaryColor(c); });
    p.Colour("Grouping.SummaryColorTo", [&gr] { return gr.SummaryColorTo(); },
             [&gr](TColor c) { gr.SetSummaryColorTo(c); });
    p.Colour("Grouping.SummaryTextColor", [&gr] { return gr.SummaryTextColor(); },
             [&gr](TColor c) { gr.SetSummaryTextColor(c); });
    p.Boolean("Grouping.SummaryLine", [&gr] { return gr.SummaryLine(); }, [&gr](bool b) { gr.SetSummaryLine(b); });
    p.Colour("Grouping.SummaryLineColor", [&gr] { return gr.SummaryLineColor(); },
             [&gr](TColor c) { gr.SetSummaryLineColor(c); });
    p.Integer("Grouping.SummaryLineWidth", [&gr] { return gr.SummaryLineWidth(); },
              [&gr](int v) { gr.SetSummaryLineWidth(v); });
    p.Colour("GridLineColor", [&g] { return g.GridLineColor(); }, [&g](TColor c) { g.SetGridLineColor(c); });
    p.Colour("GridFixedLineColor", [&g] { return g.GridFixedLineColor(); },
             [&g](TColor c) { g.SetGridFixedLineColor(c); });
    auto& bg = g.BackGround();
    p.Integer("BackGround.Top", [&bg] { return bg.Top(); }, [&bg](int v) { bg.SetTop(v); });
    p.Integer("BackGround.Left", [&bg] { return bg.Left(); }, [&bg](int v) { bg.SetLeft(v); });
    p.Enumeration<TBackGroundDisplay>("BackGround.Display", {"bdTile", "bdFixed", "bdGradientHorz", "bdGradientVert"},
                                      [&bg] { return bg.Display(); },
                                      [&bg](TBackGroundDisplay d) { bg.SetDisplay(d); });
    p.Enumeration<TBackGroundCells>("BackGround.Cells", {"bcNormal", "bcFixed", "bcAll"},
                                    [&bg] { return bg.Cells(); }, [&bg](TBackGroundCells c) { bg.SetCells(c); });
    p.Colour("BackGround.Color", [&bg] { return bg.Color(); }, [&bg](TColor c) { bg.SetColor(c); });
    p.Colour("BackGround.ColorTo", [&bg] { return bg.ColorTo(); }, [&bg](TColor c) { bg.SetColorTo(c); });
    return p;
}

void TExStringGrid::SaveVisualProps(const QString& fileName)
{
    const TVisualProps props = VisualPropsOf(*this);
    QString text;
    for (const TVisualProp& p : props.Props)
        text += p.key + u'=' + p.write() + QStringLiteral("\r\n");
    if (!WriteFileAtomically(fileName, EncodeWindows1252(text)))
        throw REruVidaZuvez(QStringLiteral("Cannot Create ") + fileName);
}

void TExStringGrid::LoadVisualProps(const QString& fileName)
{
    QStringList lines;
    if (!ReadTextLines(fileName, &lines))
        throw REruVidaZuvez(QStringLiteral("Cannot open file ") + fileName);
    const TVisualProps props = VisualPropsOf(*this);
    std::vector<std::function<void()>> steps;
    for (const TVisualProp& p : props.Props)
        steps.push_back(p.read(ValueOf(lines, p.key)));
    // The search footer and grid line colours go before the grouping values.
    std::vector<size_t> order;
    std::vector<size_t> early;
    for (size_t i = 0; i < props.Props.size(); ++i) {
        const QString& k = props.Props[i].key;
        if (k.startsWith(QLatin1String("SearchFooter.")) || k == QLatin1String("GridLineColor") ||
            k == QLatin1String("GridFixedLineColor"))
            early.push_back(i);
    }
    bool earlyDone = false;
    for (size_t i = 0; i < props.Props.size(); ++i) {
        const QString& k = props.Props[i].key;
        if (std::find(early.begin(), early.end(), i) != early.end())
            continue;
        if (!earlyDone && k.startsWith(QLatin1String("Grouping."))) {
            order.insert(order.end(), early.begin(), early.end());
            earlyDone = true;
        }
        order.push_back(i);
    }
    for (size_t i : order)
        steps[i]();
}
