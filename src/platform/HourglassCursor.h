#pragma once

namespace platform {

// The hourglass over the whole application while it lives; the screen
// cursor from before comes back on every way out. Scopes nest.
class HourglassCursor
{
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;

private:
    bool shown_ = false;
};

} // namespace platform
