#include "widgets/ExStyleIF.h"

#include "WidgetTestHelpers.h"
#include "platform/Messages.h"
#include "platform/Themes.h"
#include "widgets/ATXPVS.h"
#include "widgets/ExXPVS.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <map>
#include <memory>
#include <stdexcept>

using namespace platform;

namespace {

// Office keys and a desktop colour scheme, as a machine might have them.
class FakeSource : public TOfficeThemeSource
{
public:
    std::map<QString, int> values; // key -> "Theme"
    std::vector<QString> keys;
    QString colorName;
    bool styled = false;
    int ReadInteger(const QString& key, const QString& name) const override
    {
        auto it = values.find(key);
        return name == QLatin1String("Theme") && it != values.end() ? it->second : -1;
    }
    bool KeyExists(const QString& key) const override
    {
        return std::find(keys.begin(), keys.end(), key) != keys.end();
    }
    bool DesktopColorName(QString& name) const override
    {
        name = colorName;
        return styled;
    }
};

struct SourceGuard
{
    explicit SourceGuard(std::unique_ptr<TOfficeThemeSource> s) { SetOfficeThemeSource(std::move(s)); }
    ~SourceGuard() { SetOfficeThemeSource(nullptr); }
};

const QString k2010 = QStringLiteral("Software\\Microsoft\\Office\\14.0\\Common");
const QString k2007 = QStringLiteral("Software\\Microsoft\\Office\\12.0\\Common");

// A window that keeps the office theme messages it receives.
class Listener : public QWidget, public MessageReceiver
{
public:
    void MessageReceived(TMessage& m) override
    {
        if (m.Msg == WM_OFFICETHEMECHANGE)
            keys.push_back(*reinterpret_cast<const QString*>(m.LParam));
    }
    std::vector<QString> keys;
};

} // namespace

TEST(ExStyleIF, OfficeThemeFromTheSource)
{
    // This desktop: no office suite, no visual style colour names.
    EXPECT_EQ(CurrentOfficeTheme(), ot2003Classic);
    EXPECT_EQ(InstalledOfficeGeneration(), 0);
    EXPECT_FALSE(IsVistaOrLater());
    EXPECT_EQ(DefaultFontName(), QStringLiteral("Tahoma"));

    const struct
    {
        const char* name;
        int theme2010, theme2007;
        bool styled;
        const char* colorName;
        TOfficeTheme expected;
    } cases[] = {
        {"2010 silver, 2007 not read", 2, 3, false, "", ot2010Silver},
        {"2010 blue", 1, -1, false, "", ot2010Blue},
        {"2010 black", 3, -1, false, "", ot2010Black},
        {"2010 unknown value", 4, 2, false, "", ot2003Blue},
        {"2007 silver", -1, 2, false, "", ot2007Silver},
        {"2007 black", -1, 3, false, "", ot2007Black},
        {"2007 other", -1, 0, false, "", ot2003Blue},
        {"no office, classic desktop", -1, -1, false, "NormalColor", ot2003Classic},
        {"no office, blue scheme", -1, -1, true, "NormalColor", ot2003Blue},
        {"no office, olive scheme", -1, -1, true, "HomeStead", ot2003Olive},
        {"no office, silver scheme", -1, -1, true, "Metallic", ot2003Silver},
        {"no office, other scheme", -1, -1, true, "Royale", ot2003Classic},
    };
    for (const auto& c : cases) {
        auto source = std::make_unique<FakeSource>();
        if (c.theme2010 != -1)
            source->values[k2010] = c.theme2010;
        if (c.theme2007 != -1)
            source->values[k2007] = c.theme2007;
        source->styled = c.styled;
        source->colorName = QString::fromLatin1(c.colorName);
        SourceGuard guard(std::move(source));
        EXPECT_EQ(CurrentOfficeTheme(), c.expected) << c.name;
    }
}

TEST(ExStyleIF, HandleList)
{
    QObject a, b, c;
    THandleList list;
    list.Add(&a);
    list.Add(&b);
    list.Insert(0, &c);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Items(0), &c);
    EXPECT_TRUE(list.HasValue(&b));
    list.DeleteValue(&b);
    EXPECT_FALSE(list.HasValue(&b));
    list.DeleteValue(&b); // absent: nothing
    EXPECT_EQ(list.Count(), 2);
    list.SetItems(1, &b);
    EXPECT_EQ(list.Items(1), &b);
    list.Delete(0);
    EXPECT_EQ(list.Items(0), &b);
    EXPECT_THROW(list.Items(1), std::out_of_range);
    EXPECT_THROW(list.Insert(3, &a), std::out_of_range);
    EXPECT_THROW(list.Delete(-1), std::out_of_range);
    {
        // A window that is destroyed reads as null.
        auto gone = std::make_unique<QObject>();
        list.Add(gone.get());
        gone.reset();
        EXPECT_EQ(list.Items(1), nullptr);
    }
}

TEST(ExStyleIF, NotifierWithoutOfficeSuite)
{
    QWidget owner;
    TThemeNotifier* n = ThemeNotifier(&owner);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(ThemeNotifier(nullptr), n); // a single notifier
    EXPECT_EQ(n->RegMonitorThread(), nullptr);
    EXPECT_EQ(n->NotifierWindow(), nullptr);
    Listener w;
    n->RegisterWindow(&w); // does nothing
    n->UnRegisterWindow(&w);
    EXPECT_TRUE(w.keys.empty());
    delete n;
    // The single notifier is forgotten with it: the next request makes a new one.
    TThemeNotifier* next = ThemeNotifier(&owner);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->parent(), &owner);
    delete next;
}

TEST(ExStyleIF, NotifierWithOfficeSuite)
{
    auto source = std::make_unique<FakeSource>();
    source->keys.push_back(k2010 + QStringLiteral("\\General"));
    SourceGuard guard(std::move(source));
    EXPECT_EQ(InstalledOfficeGeneration(), 2);

    QWidget owner;
    TThemeNotifier notifier(&owner);
    TRegMonitorThread* monitor = notifier.RegMonitorThread();
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->Key(), k2010);
    EXPECT_EQ(monitor->Filter(), 4u);
    EXPECT_TRUE(monitor->WatchSub());
    EXPECT_NE(notifier.NotifierWindow(), nullptr);
    EXPECT_NE(monitor->Wnd(), nullptr); // the hidden window hears of changes first

    int changes = 0;
    notifier.OnOfficeThemeChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &notifier);
        ++changes;
    };
    Listener a, b;
    notifier.RegisterWindow(&a);
    notifier.RegisterWindow(&a); // kept once
    notifier.RegisterWindow(&b);
    EXPECT_EQ(monitor->WindowCount(), 2);
    notifier.UnRegisterWindow(&owner); // unknown: nothing
    EXPECT_EQ(monitor->WindowCount(), 2);

    monitor->Notify();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a.keys, std::vector<QString>{k2010});
    EXPECT_EQ(b.keys, std::vector<QString>{k2010});
    notifier.UnRegisterWindow(&a);
    monitor->Notify();
    EXPECT_EQ(a.keys.size(), 1u);
    EXPECT_EQ(b.keys.size(), 2u);
    monitor->Stop();
    monitor->Notify();
    EXPECT_EQ(b.keys.size(), 2u);

    TRegMonitorThread fresh;
    EXPECT_EQ(fresh.Filter(), 15u); // 0 reads as every kind of change
}

TEST(ExStyleIF, VisualStyleBindings)
{
    EXPECT_TRUE(ExXPVS::Bound());
    EXPECT_TRUE(ATXPVS::Bound());
    const bool was = ThemesActive();
    SetThemesActive(true);
    EXPECT_TRUE(ExXPVS::ThemesAvailable());

    HTHEME theme = ExXPVS::OpenThemeData(nullptr, QStringLiteral("Button"));
    ASSERT_TRUE(theme.Valid());
    TBitmap b(30, 30);
    b.Canvas().Brush().SetColor(clRed);
    b.Canvas().FillRect(Rect(0, 0, 30, 30));
    EXPECT_TRUE(ExXPVS::DrawThemeBackground(theme, b.Canvas(), BP_PUSHBUTTON, PBS_NORMAL, Rect(0, 0, 30, 30)));
    EXPECT_LT(widgettest::Count(b.Image(), [](QColor c) { return FromQColor(c) == clRed; }), 900);

    // A clip rectangle keeps the drawing inside it.
    TBitmap clipped(30, 30);
    clipped.Canvas().Brush().SetColor(clRed);
    clipped.Canvas().FillRect(Rect(0, 0, 30, 30));
    const TRect clip = Rect(0, 0, 10, 30);
    EXPECT_TRUE(ExXPVS::DrawThemeBackground(theme, clipped.Canvas(), BP_PUSHBUTTON, PBS_NORMAL, Rect(0, 0, 30, 30), &clip));
    EXPECT_EQ(widgettest::Count(clipped.Image(), [](QColor c) { return FromQColor(c) == clRed; }, QRect(10, 0, 20, 30)),
              600);
    EXPECT_FALSE(clipped.Canvas().HasClip());
    ExXPVS::CloseThemeData(theme);
    EXPECT_FALSE(theme.Valid());

    EXPECT_FALSE(ExXPVS::OpenThemeData(nullptr, QStringLiteral("window")).Valid());
    QString file, color, size;
    EXPECT_TRUE(ExXPVS::GetCurrentThemeName(&file, &color, &size));
    EXPECT_FALSE(file.isEmpty());
    EXPECT_TRUE(color.isEmpty());

    // Styles off: nothing is drawn through them.
    SetThemesActive(false);
    EXPECT_FALSE(ExXPVS::ThemesAvailable());
    EXPECT_FALSE(ATXPVS::IsThemeActive());
    HTHEME again = ATXPVS::OpenThemeData(nullptr, QStringLiteral("spin"));
    EXPECT_FALSE(ATXPVS::DrawThemeBackground(again, b.Canvas(), SPNP_UP, UPS_NORMAL, Rect(0, 0, 10, 10)));
    SetThemesActive(true);

    // Each binding has its own count: releasing one leaves the other.
    ATXPVS::Release();
    EXPECT_FALSE(ATXPVS::Bound());
    EXPECT_FALSE(ATXPVS::ThemesAvailable());
    EXPECT_FALSE(ATXPVS::OpenThemeData(nullptr, QStringLiteral("spin")).Valid());
    EXPECT_TRUE(ExXPVS::Bound());
    ATXPVS::Bind();
    EXPECT_TRUE(ATXPVS::Bound());
    EXPECT_TRUE(ATXPVS::ThemesAvailable());
    SetThemesActive(was);
}
