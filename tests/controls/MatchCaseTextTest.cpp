#include "controls/ExDropDown.h"

#include <gtest/gtest.h>

// The drop-downs' incremental search compares what was typed with the start
// of each item, upper-casing both unless the case must match. The quick
// comparison must answer exactly as upper-casing the whole item would.
TEST(MatchCaseText, StartsWithAnswersAsTheUpperCasedItem)
{
    struct Case
    {
        const char* why;
        const char* item;  // UTF-8
        const char* typed;
        bool caseSensitive;
        bool starts;
    };
    const Case cases[] = {
        {"any case", "kiwi 099907", "KIWI 0999", false, true},
        {"typed lower case too", "Kiwi", "kiW", false, true},
        {"differs at the end", "Kiwi 1", "kiwi 2", false, false},
        {"item shorter than the typed text", "Kiw", "kiwi", false, false},
        {"nothing typed", "Kiwi", "", false, true},
        {"case must match", "Kiwi", "ki", true, false},
        {"case matches", "Kiwi", "Ki", true, true},
        {"punctuation is no letter", "a[b", "A{", false, false},
        {"accented letters upper-case", "\xC3\xA9t\xC3\xA9", "\xC3\x89T", false, true},
        {"sharp s becomes two letters", "Stra\xC3\x9F" "e", "STRASS", false, true},
        {"the first of the two letters", "Stra\xC3\x9F" "e", "stras", false, true},
        {"dotless i upper-cases to I", "\xC4\xB1" "x", "IX", false, true},
        {"long s upper-cases to S", "\xC5\xBF" "o", "so", false, true},
        {"outside the basic plane", "\xF0\x90\x90\xA8" "a", "\xF0\x90\x90\x80" "A", false, true},
        {"typed dotless i finds I", "Ix", "\xC4\xB1", false, true},
        {"typed sharp s is SS", "Sse", "\xC3\x9F" "e", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const QString item = QString::fromUtf8(c.item);
        const QString typed = MatchCaseText(QString::fromUtf8(c.typed), c.caseSensitive);
        EXPECT_EQ(MatchCaseText(item, c.caseSensitive).startsWith(typed), c.starts);
        EXPECT_EQ(StartsWithMatchCase(item, typed, c.caseSensitive), c.starts);
    }
}
