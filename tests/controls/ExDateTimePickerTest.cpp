// The date-time pickers driven by real keys and mouse moves: typed fields
// (valid, edge and refused values), AutoTab between fields and into the time
// picker, the attached label, the second picker of the date-and-time kind and
// the flat drop button's states.
#include "controls/ExDateTimePicker.h"
#include "PanelMouse.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"
#include "widgets/ExUtil.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QDir>
#include <QImage>
#include <QStyle>

#include <gtest/gtest.h>

using namespace platform;

void PrintTo(const QDate& d, std::ostream* os) { *os << d.toString(Qt::ISODate).toStdString(); }
void PrintTo(const QTime& t, std::ostream* os) { *os << t.toString(Qt::ISODateWithMs).toStdString(); }
void PrintTo(const QDateTime& v, std::ostream* os) { *os << v.toString(Qt::ISODate).toStdString(); }
using LP = TExDateTimePicker::TLabelPosition;

namespace {

class PickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 160);
        form.Show();
        QApplication::processEvents();
    }

    std::unique_ptr<TExDateTimePicker> Make(TExDateTimeKind kind, const QString& format)
    {
        auto p = std::make_unique<TExDateTimePicker>(&form);
        p->SetBounds(120, 40, 220, 21);
        p->SetKind(kind);
        if (kind == dkTime)
            p->SetTimeFormat(format);
        else
            p->SetFormat(format);
        p->show();
        QApplication::processEvents();
        return p;
    }

    static void Settle()
    {
        for (int i = 0; i < 4; ++i)
            QApplication::processEvents();
    }

    // Puts the caret into a field and types, as the user does.
    static void TypeInField(TCustomDateTimePicker& p, int field, const QString& keys)
    {
        p.setFocus();
        QApplication::processEvents();
        p.setCurrentSectionIndex(field);
        p.setSelectedSection(p.sectionAt(field));
        testsupport::TypeKeys(keys);
        Settle();
    }

    TForm form;
};

TEST_F(PickerTest, NewControlDefaults)
{
    TExDateTimePicker p(&form);
    EXPECT_EQ(p.Kind(), dkDateTime);
    EXPECT_EQ(p.LabelMargin(), 4);
    EXPECT_EQ(p.Version(), QStringLiteral("1.2.0.0"));
    EXPECT_EQ(p.PickerLabel(), nullptr);
    EXPECT_TRUE(p.LabelCaption().isEmpty());
    EXPECT_NE(p.TimePicker(), nullptr);
    EXPECT_EQ(p.BorderStyle(), bsSingle);
    EXPECT_TRUE(p.Ctl3D());

    TCustomDateTimePicker base(&form);
    EXPECT_EQ(base.ButtonWidth(), base.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &base) + 2);
    EXPECT_EQ(base.BorderColor(), TColor(0));
    EXPECT_EQ(base.ButtonColor, clNone);
    EXPECT_EQ(base.ButtonColorHot, clNone);
    EXPECT_EQ(base.ButtonTextColorDown, clNone);
    EXPECT_FALSE(base.AutoTab());
    EXPECT_EQ(base.BorderStyle(), bsNone);
}

TEST_F(PickerTest, DateTimeJoinsDatePartAndTimePicker)
{
    auto p = Make(dkDateTime, QStringLiteral("dd/MM/yyyy"));
    ASSERT_NE(p->TimePicker(), nullptr);
    EXPECT_TRUE(p->TimePicker()->isVisibleTo(p.get()));

    // Milliseconds are dropped on the way in.
    p->SetDateTime(QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30, 987)));
    EXPECT_EQ(p->DateTime(), QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30)));

    // Only the time part changes: the date stays, the time comes from the time picker.
    TypeInField(*p->TimePicker(), 0, QStringLiteral("07"));
    EXPECT_EQ(p->DateTime(), QDateTime(QDate(2024, 2, 29), QTime(7, 45, 30)));
    EXPECT_EQ(p->Time(), QTime(7, 45, 30));

    // A date write keeps the time of day.
    p->SetDate(QDate(2025, 1, 2));
    EXPECT_EQ(p->DateTime(), QDateTime(QDate(2025, 1, 2), QTime(7, 45, 30)));

    // Another kind frees the time picker at once; the same kind again changes nothing.
    p->SetKind(dkDate);
    EXPECT_EQ(p->TimePicker(), nullptr);
    p->SetKind(dkDate);
    EXPECT_EQ(p->Kind(), dkDate);
    p->SetKind(dkDateTime);
    EXPECT_NE(p->TimePicker(), nullptr);
    EXPECT_EQ(p->DateTime().date(), QDate(2025, 1, 2));
}

TEST_F(PickerTest, TimePickerEventsReachTheControl)
{
    auto p = Make(dkDateTime, QStringLiteral("dd/MM/yyyy"));
    p->SetDateTime(QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0)));
    std::vector<std::string> seen;
    p->OnChange = [&](QObject* s) {
        EXPECT_EQ(s, p.get());
        seen.push_back("change");
    };
    p->OnTimeChange = [&](QObject*) { seen.push_back("time"); };
    p->OnKeyDown = [&](QObject* s, int& key, TShiftState) {
        EXPECT_EQ(s, p.get());
        seen.push_back("key " + std::to_string(key));
    };
    TypeInField(*p->TimePicker(), 1, QStringLiteral("7"));
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0], "key " + std::to_string('7'));
    EXPECT_EQ(seen[1], "change");
    EXPECT_EQ(seen[2], "time");
}

TEST_F(PickerTest, CheckBoxClearedStopsBothParts)
{
    auto p = Make(dkDateTime, QStringLiteral("dd/MM/yyyy"));
    p->SetDateTime(QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0)));
    p->SetShowCheckbox(true);
    ASSERT_TRUE(p->Checked());
    int changes = 0;
    p->OnChange = [&](QObject*) { ++changes; };
    auto* box = p->findChild<QCheckBox*>();
    ASSERT_NE(box, nullptr);
    // The fields start after the box.
    auto* edit = p->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(edit, nullptr);
    EXPECT_LE(box->geometry().right(), edit->x() + edit->textMargins().left());
    EXPECT_TRUE(p->TimePicker()->isEnabled());

    // CONTROLS_SCREENSHOT_DIR=<dir> saves the picker with its box.
    if (const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR"); !out.isEmpty()) {
        QDir().mkpath(out);
        EXPECT_TRUE(p->grab().save(QDir(out).filePath(QStringLiteral("datetimepicker_checkbox.png"))));
    }
    testsupport::Click(box);
    Settle();
    EXPECT_FALSE(p->Checked());
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(p->TimePicker()->isEnabled());
    TypeInField(*p, 0, QStringLiteral("09"));
    EXPECT_EQ(p->DateTime(), QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0))) << "a cleared box takes no digits";

    // Space ticks it again; the time part follows.
    p->setFocus();
    testsupport::KeyClick(Qt::Key_Space);
    Settle();
    EXPECT_TRUE(p->Checked());
    EXPECT_TRUE(p->TimePicker()->isEnabled());
    p->SetEnabled(false);
    EXPECT_FALSE(p->TimePicker()->isEnabled());
    p->SetEnabled(true);
    p->SetChecked(false);
    EXPECT_FALSE(p->TimePicker()->isEnabled());
}

TEST_F(PickerTest, EmptyFormatsFollowTheRegionalSettings)
{
    struct Case
    {
        const char* why;
        TRegionalSettings settings;
        const char* date;
        const char* time;
    } cases[] = {
        {"day first, slashes", {QChar(u','), QChar(u'.'), QChar(u'/'), QChar(u':'), QStringLiteral("dd/MM/yyyy")},
         "dd/MM/yyyy", "HH:mm:ss"},
        {"the region's separators", {QChar(u'.'), QChar(u','), QChar(u'.'), QChar(u'.'), QStringLiteral("dd/MM/yyyy")},
         "dd.MM.yyyy", "HH.mm.ss"},
        {"year first", {QChar(), QChar(u'.'), QChar(u'-'), QChar(u':'), QStringLiteral("yyyy-MM-dd")}, "yyyy-MM-dd",
         "HH:mm:ss"},
    };
    for (const Case& c : cases) {
        SetRegionalSettingsOverride(c.settings);
        auto p = Make(dkDateTime, QString());
        EXPECT_EQ(p->displayFormat(), QString::fromLatin1(c.date)) << c.why;
        ASSERT_NE(p->TimePicker(), nullptr);
        EXPECT_EQ(p->TimePicker()->displayFormat(), QString::fromLatin1(c.time)) << c.why;
    }
    SetRegionalSettingsOverride(std::nullopt);
}

// Typed times: what a field takes and what it refuses. A field holds only
// what it can take; a refused key, or a field left unfinished, keeps the old
// value, and nothing escapes. The value is read after the focus has left.
struct TypedTime
{
    const char* why;
    const char* format;
    int field; // 0 hour, 1 minute, 2 second
    const char* keys;
    QTime expected;
};

TEST_F(PickerTest, TypedTimesTable)
{
    const TypedTime cases[] = {
        {"a whole hour", "HH:mm:ss", 0, "13", QTime(13, 30, 15)},
        {"midnight", "HH:mm:ss", 0, "00", QTime(0, 30, 15)},
        {"last hour of the day", "HH:mm:ss", 0, "23", QTime(23, 30, 15)},
        {"hour 24 is over the day: the 4 is refused", "HH:mm:ss", 0, "24", QTime(2, 30, 15)},
        {"hour 25: the 5 is refused", "HH:mm:ss", 0, "25", QTime(2, 30, 15)},
        {"hour 9 cannot grow: the next 9 goes to the minutes", "HH:mm:ss", 0, "99", QTime(9, 9, 15)},
        {"one digit without leading zero", "H:mm:ss", 0, "7", QTime(7, 30, 15)},
        {"last minute", "HH:mm:ss", 1, "59", QTime(8, 59, 15)},
        {"minute 6 cannot grow: the 0 goes to the seconds", "HH:mm:ss", 1, "60", QTime(8, 6, 0)},
        {"second 6 cannot grow, the 1 has no field left", "HH:mm:ss", 2, "61", QTime(8, 30, 6)},
        {"letters are refused", "HH:mm:ss", 1, "ab", QTime(8, 30, 15)},
    };
    for (const TypedTime& c : cases) {
        SCOPED_TRACE(c.why);
        auto p = Make(dkTime, QString::fromLatin1(c.format));
        p->SetDateTime(QDateTime(QDate(2024, 1, 1), QTime(8, 30, 15)));
        TypeInField(*p, c.field, QString::fromLatin1(c.keys));
        p->clearFocus();
        Settle();
        EXPECT_EQ(p->Time(), c.expected);
        EXPECT_EQ(p->DateTime().date(), QDate(2024, 1, 1));
    }
}

struct TypedDate
{
    const char* why;
    int field; // 0 day, 1 month, 2 year
    const char* keys;
    QDate expected;
};

TEST_F(PickerTest, TypedDatesTable)
{
    const TypedDate cases[] = {
        {"a day", 0, "09", QDate(2024, 2, 9)},
        {"leap day", 0, "29", QDate(2024, 2, 29)},
        {"day 30 in February: the 0 is refused", 0, "30", QDate(2024, 2, 3)},
        {"day 32: the 2 is refused", 0, "32", QDate(2024, 2, 3)},
        {"month 12", 1, "12", QDate(2024, 12, 15)},
        {"month 13: the 3 is refused", 1, "13", QDate(2024, 1, 15)},
        {"month 00: old value", 1, "00", QDate(2024, 2, 15)},
        {"a year", 2, "2031", QDate(2031, 2, 15)},
    };
    for (const TypedDate& c : cases) {
        SCOPED_TRACE(c.why);
        auto p = Make(dkDate, QStringLiteral("dd/MM/yyyy"));
        p->SetDateTime(QDateTime(QDate(2024, 2, 15), QTime(12, 0, 0)));
        TypeInField(*p, c.field, QString::fromLatin1(c.keys));
        p->clearFocus();
        Settle();
        EXPECT_EQ(p->Date(), c.expected);
        EXPECT_EQ(p->DateTime().time(), QTime(12, 0, 0));
    }
}

// A whole time pasted over the text: out of range, it is refused and the old
// value stays.
TEST_F(PickerTest, PastedTimesTable)
{
    const struct
    {
        const char* why;
        const char* text;
        QTime expected;
    } cases[] = {
        {"valid", "12:05:09", QTime(12, 5, 9)},
        {"last second of the day", "23:59:59", QTime(23, 59, 59)},
        {"24 hours", "24:00:00", QTime(8, 30, 15)},
        {"over 24 hours", "25:10:00", QTime(8, 30, 15)},
        {"minute out of range", "12:61:00", QTime(8, 30, 15)},
        {"second out of range", "12:00:75", QTime(8, 30, 15)},
        {"not a time", "noon", QTime(8, 30, 15)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        auto p = Make(dkTime, QStringLiteral("HH:mm:ss"));
        p->SetDateTime(QDateTime(QDate(2024, 1, 1), QTime(8, 30, 15)));
        p->setFocus();
        QApplication::processEvents();
        p->selectAll();
        QApplication::clipboard()->setText(QString::fromLatin1(c.text));
        testsupport::KeyClick(Qt::Key_V, Qt::ControlModifier);
        p->clearFocus();
        Settle();
        EXPECT_EQ(p->Time(), c.expected);
    }
}

TEST_F(PickerTest, ArrowKeysMoveBetweenFields)
{
    auto p = Make(dkTime, QStringLiteral("HH:mm:ss"));
    p->setFocus();
    p->setCurrentSectionIndex(0);
    testsupport::KeyClick(Qt::Key_Right);
    EXPECT_EQ(p->CurrentField(), 1);
    testsupport::KeyClick(Qt::Key_Right);
    testsupport::KeyClick(Qt::Key_Right); // stays on the last field
    EXPECT_EQ(p->CurrentField(), 2);
    testsupport::KeyClick(Qt::Key_Left);
    EXPECT_EQ(p->CurrentField(), 1);
}

TEST_F(PickerTest, AutoTabOnTimeFields)
{
    // Without leading zeros a single digit is a whole value that could still grow.
    auto p = Make(dkTime, QStringLiteral("H:m:s"));
    p->SetDateTime(QDateTime(QDate(2024, 1, 1), QTime(1, 30, 15)));
    p->SetAutoTab(true);
    // A digit that changes nothing stays in its field.
    TypeInField(*p, 0, QStringLiteral("1"));
    EXPECT_EQ(p->CurrentField(), 0);
    // One that changes the minute moves on to the seconds.
    TypeInField(*p, 1, QStringLiteral("4"));
    EXPECT_EQ(p->Time(), QTime(1, 4, 15));
    EXPECT_EQ(p->CurrentField(), 2);
    // A full field moves on by itself; AutoTab adds no second step.
    TypeInField(*p, 0, QStringLiteral("23"));
    EXPECT_EQ(p->Time(), QTime(23, 4, 15));
    EXPECT_EQ(p->CurrentField(), 1);

    // Without AutoTab the caret stays.
    p->SetAutoTab(false);
    TypeInField(*p, 1, QStringLiteral("1"));
    EXPECT_EQ(p->Time(), QTime(23, 1, 15));
    EXPECT_EQ(p->CurrentField(), 1);
}

TEST_F(PickerTest, AutoTabOnDateFieldsAndIntoTimePicker)
{
    auto p = Make(dkDateTime, QStringLiteral("d/M/yyyy"));
    p->SetDateTime(QDateTime(QDate(2024, 2, 15), QTime(9, 0, 0)));
    p->SetAutoTab(true);
    ASSERT_TRUE(p->TimePicker()->AutoTab());
    // A changed day moves to the month.
    TypeInField(*p, 0, QStringLiteral("1"));
    EXPECT_EQ(p->Date().day(), 1);
    EXPECT_EQ(p->CurrentField(), 1);
    // A changed year, the last field of this format, hands over to the time picker.
    TypeInField(*p, 2, QStringLiteral("2031"));
    EXPECT_EQ(p->Date().year(), 2031);
    EXPECT_TRUE(p->TimePicker()->hasFocus());

    // With the regional format the year counts as the last field.
    auto q = Make(dkDateTime, QString());
    q->SetDateTime(QDateTime(QDate(2024, 2, 15), QTime(9, 0, 0)));
    q->SetAutoTab(true);
    const int yearField = [&] {
        for (int i = 0; i < q->sectionCount(); ++i)
            if (q->sectionAt(i) == QDateTimeEdit::YearSection)
                return i;
        return -1;
    }();
    ASSERT_GE(yearField, 0);
    TypeInField(*q, yearField, q->displayFormat().count(u'y') == 2 ? QStringLiteral("31") : QStringLiteral("2031"));
    EXPECT_EQ(q->Date().year(), 2031);
    EXPECT_TRUE(q->TimePicker()->hasFocus());
}

TEST_F(PickerTest, LabelPlacesItselfAndFollows)
{
    auto p = Make(dkDateTime, QStringLiteral("dd/MM/yyyy"));
    p->SetLabelCaption(QStringLiteral("Start:"));
    TLabel* label = p->PickerLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), &form);
    EXPECT_EQ(p->LabelCaption(), QStringLiteral("Start:"));
    const int lw = label->Width(), lh = label->Height();

    struct Case
    {
        LP position;
        int left, top;
    };
    const int L = 120, T = 40, W = 220, H = 21, m = 4;
    const Case cases[] = {
        {LP::lpLeftTop, L - lw - m, T},          {LP::lpLeftCenter, L - lw - m, T + (H - lh) / 2},
        {LP::lpLeftBottom, L - lw - m, T + H - lh}, {LP::lpTopLeft, L, T - lh - m},
        {LP::lpBottomLeft, L, T + H + m},        {LP::lpLeftTopLeft, L - m, T},
        {LP::lpTopCenter, L + (W - lw) / 2, T - lh - m}, {LP::lpBottomCenter, L + (W - lw) / 2, T + H + m},
        {LP::lpRightTop, L + W + m, T},          {LP::lpRightCenter, L + W + m, T + (H - lh) / 2},
        {LP::lpRighBottom, L + W + m, T + H - lh},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.position));
        p->SetLabelPosition(c.position);
        EXPECT_EQ(label->Left(), c.left);
        EXPECT_EQ(label->Top(), c.top);
    }

    // It follows the control and its margin.
    p->SetLabelPosition(LP::lpTopLeft);
    p->SetBounds(60, 90, 200, 21);
    EXPECT_EQ(label->Left(), 60);
    EXPECT_EQ(label->Top(), 90 - lh - 4);
    p->SetLabelMargin(10);
    EXPECT_EQ(label->Top(), 90 - lh - 10);

    // Hidden, disabled and clicked with the control.
    p->SetVisible(false);
    EXPECT_FALSE(label->isVisible());
    p->SetVisible(true);
    EXPECT_TRUE(label->isVisible());
    p->SetEnabled(false);
    EXPECT_FALSE(label->isEnabled());
    EXPECT_FALSE(p->TimePicker()->isEnabled());
    p->SetLabelAlwaysEnabled(true);
    EXPECT_TRUE(label->isEnabled());
    p->SetEnabled(true);

    int clicks = 0;
    p->OnLabelClick = [&](QObject* s) {
        EXPECT_EQ(s, p.get());
        ++clicks;
    };
    testsupport::Click(label, QPoint(2, 2));
    EXPECT_EQ(clicks, 1);
}

TEST_F(PickerTest, LabelRightCenterOnThirteenPixelLabel)
{
    auto p = Make(dkDate, QStringLiteral("dd/MM/yyyy"));
    p->SetLabelCaption(QStringLiteral("x"));
    p->PickerLabel()->SetAutoSize(false);
    p->PickerLabel()->SetBounds(0, 0, 20, 13);
    p->SetLabelPosition(LP::lpRightCenter);
    EXPECT_EQ(p->PickerLabel()->Top(), 40 + 4);
    EXPECT_EQ(p->PickerLabel()->Left(), 120 + 220 + 4);
}

TEST_F(PickerTest, LabelFocusBold)
{
    auto p = Make(dkDate, QStringLiteral("dd/MM/yyyy"));
    p->SetLabelCaption(QStringLiteral("Day:"));
    p->SetFocusLabel(true);
    p->setFocus();
    Settle();
    EXPECT_TRUE(p->PickerLabel()->Font().Style() & fsBold);
    p->clearFocus();
    Settle();
    EXPECT_FALSE(p->PickerLabel()->Font().Style() & fsBold);
}

TEST_F(PickerTest, DropButtonHoverByMouse)
{
    auto p = Make(dkDate, QStringLiteral("dd/MM/yyyy"));
    p->SetBounds(10, 10, 100, 21);
    const int bw = p->ButtonWidth();
    mouse::mouseMove(p.get(), QPoint(100 - bw, 8));
    EXPECT_FALSE(p->ButtonHover());
    mouse::mouseMove(p.get(), QPoint(100 - bw + 1, 8));
    EXPECT_TRUE(p->ButtonHover());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(p.get(), &leave);
    EXPECT_FALSE(p->ButtonHover());
}

// The flat button's colour at its middle.
QRgb ButtonPixel(QWidget* w, int buttonWidth)
{
    const QImage img = w->grab().toImage();
    return img.pixel(w->width() - buttonWidth / 2, w->height() / 2 + 4) & 0xFFFFFF;
}

TEST_F(PickerTest, FlatDropButtonStates)
{
    auto p = Make(dkDate, QStringLiteral("dd/MM/yyyy"));
    p->SetBounds(10, 10, 140, 24);
    p->ButtonColor = clYellow;
    p->ButtonColorHot = clLime;
    p->ButtonColorDown = clRed;
    const int bw = p->ButtonWidth();
    const QRgb yellow = qRgb(255, 255, 0) & 0xFFFFFF, lime = qRgb(0, 255, 0) & 0xFFFFFF,
               red = qRgb(255, 0, 0) & 0xFFFFFF;

    // Without MetroStyle the native look stays.
    EXPECT_NE(ButtonPixel(p.get(), bw), yellow);
    p->SetMetroStyle(true);
    EXPECT_EQ(ButtonPixel(p.get(), bw), yellow);
    mouse::mouseMove(p.get(), QPoint(140 - bw / 2, 8));
    EXPECT_EQ(ButtonPixel(p.get(), bw), lime);
    // The down colour shows while a button is held over it.
    mouse::mousePress(p.get(), Qt::LeftButton, Qt::NoModifier, QPoint(140 - bw / 2, 8));
    const QRgb held = ButtonPixel(p.get(), bw);
    mouse::mouseRelease(p.get(), Qt::LeftButton, Qt::NoModifier, QPoint(140 - bw / 2, 8));
    EXPECT_TRUE(held == red || held == lime) << std::hex << held;

    // A plain base picker suppresses the flat look whatever MetroStyle says.
    TCustomDateTimePicker base(&form);
    base.SetBounds(10, 60, 140, 24);
    base.ButtonColor = clYellow;
    base.SetMetroStyle(true);
    base.show();
    EXPECT_FALSE(base.IsMetroActive());
    EXPECT_NE(ButtonPixel(&base, bw), yellow);
}

TEST_F(PickerTest, ZeroSizesPaintAndPlace)
{
    auto p = Make(dkDateTime, QString());
    p->SetLabelCaption(QStringLiteral("When:"));
    p->SetLabelPosition(LP::lpTopCenter);
    p->SetMetroStyle(true);
    p->ButtonColor = clYellow;
    p->SetBounds(0, 0, 0, 0);
    p->SetTimeFormat(QString());
    (void)p->grab();
    Settle();
    EXPECT_EQ(p->Width(), 0);
    ASSERT_NE(p->TimePicker(), nullptr);
    EXPECT_GE(p->TimePicker()->Width(), 0);
    EXPECT_GE(p->TimePicker()->Height(), 0);
    p->SetBounds(5, 5, 1, 1);
    (void)p->grab();
}

// CONTROLS_SCREENSHOT_DIR=<dir> saves the date-and-time picker with its label.
TEST_F(PickerTest, Screenshot)
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    QDir().mkpath(out);
    form.SetCaption(QStringLiteral("Date-time picker"));
    auto p = Make(dkDateTime, QStringLiteral("dd/MM/yyyy"));
    p->SetTimeFormat(QStringLiteral("HH:mm:ss"));
    p->SetBounds(110, 20, 240, 23);
    p->SetDateTime(QDateTime(QDate(2024, 2, 29), QTime(13, 45, 30)));
    p->SetLabelCaption(QStringLiteral("Start time:"));
    p->SetLabelPosition(LP::lpLeftCenter);
    auto flat = Make(dkDate, QStringLiteral("dd/MM/yyyy"));
    flat->SetBounds(110, 70, 140, 23);
    flat->SetMetroStyle(true);
    flat->SetBorderColor(clGray);
    flat->ButtonColor = clSilver;
    flat->ButtonBorderColor = clGray;
    flat->ButtonTextColor = clBlack;
    flat->SetLabelCaption(QStringLiteral("Flat:"));
    flat->SetLabelPosition(LP::lpLeftCenter);
    Settle();
    EXPECT_TRUE(form.grab().save(QDir(out).filePath(QStringLiteral("datetimepicker.png"))));
}

} // namespace
