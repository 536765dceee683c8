#include "widgets/ATXPVS.h"

#include "platform/Themes.h"

#include <atomic>
#include <mutex>

namespace {

std::mutex g_lock;
int g_users = 0;
std::atomic<bool> g_bound{false};

struct StartUp
{
    StartUp() { ATXPVS::Bind(); }
    ~StartUp() { ATXPVS::Release(); }
} g_startUp;

} // namespace

namespace ATXPVS {

bool Bind()
{
    std::lock_guard<std::mutex> lock(g_lock);
    ++g_users;
    g_bound = true;
    return true;
}

void Release()
{
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_users > 0 && --g_users == 0)
        g_bound = false;
}

bool Bound() { return g_bound.load(); }

bool ThemesAvailable() { return Bound() && IsThemeActive(); }

bool IsThemeActive() { return Bound() && platform::ThemesActive(); }

HTHEME OpenThemeData(const QWidget* window, const QString& classList)
{
    if (!Bound())
        return HTHEME{};
    return themebinding::detail::Open(window, classList);
}

void CloseThemeData(HTHEME& theme) { theme = HTHEME{}; }

bool DrawThemeBackground(const HTHEME& theme, platform::TCanvas& canvas, int part, int state,
                         const platform::TRect& rect, const platform::TRect* clip)
{
    return Bound() && themebinding::detail::Draw(theme, canvas, part, state, rect, clip);
}

bool GetCurrentThemeName(QString* fileName, QString* colorName, QString* sizeName)
{
    return Bound() && themebinding::detail::CurrentThemeName(fileName, colorName, sizeName);
}

} // namespace ATXPVS
