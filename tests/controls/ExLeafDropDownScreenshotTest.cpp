// CONTROLS_SCREENSHOT_DIR=<dir> saves the track-bar, memo, calculator and
// detail drop-downs each with its popup open, to be looked at.
#include "controls/ExCalculatorDropdown.h"
#include "controls/ExDetailDropDown.h"
#include "controls/ExMemoDropDown.h"
#include "controls/ExTrackBarDropDown.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// The form and the open popup together, as the screen shows them.
void Shoot(TForm& form, TExCustomDropDown& drop, const QString& name)
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    QDir().mkpath(out);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    ASSERT_TRUE(drop.DroppedDown());
    TDropDownForm* popup = drop.DropDownForm();
    const QRect all = form.frameGeometry().united(popup->geometry());
    QPixmap shot(all.size());
    shot.fill(Qt::darkGray);
    QPainter p(&shot);
    p.drawPixmap(form.geometry().topLeft() - all.topLeft(), form.grab());
    p.drawPixmap(popup->geometry().topLeft() - all.topLeft(), popup->grab());
    p.end();
    EXPECT_TRUE(shot.save(QDir(out).filePath(name)));
    drop.HideDropDown(true);
}

class LeafScreenshot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR").isEmpty())
            GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
        form.SetBounds(100, 100, 320, 80);
        form.SetCaption(QStringLiteral("Drop-down"));
    }
    TForm form;
};

} // namespace

TEST_F(LeafScreenshot, TrackBar)
{
    TExTrackBarDropDown drop(&form);
    drop.SetBounds(60, 20, 200, 21);
    drop.SetLabelCaption(QStringLiteral("Level:"));
    drop.SetLabelPosition(lpLeftCenter);
    drop.SetPosition(4);
    form.Show();
    QApplication::processEvents();
    drop.ShowDropDown();
    Shoot(form, drop, QStringLiteral("trackbar_open.png"));
}

TEST_F(LeafScreenshot, Memo)
{
    TExMemoDropDown drop(&form);
    drop.SetBounds(60, 20, 200, 21);
    drop.SetLabelCaption(QStringLiteral("Notes:"));
    drop.SetLabelPosition(lpLeftCenter);
    drop.SetEditorEnabled(false);
    drop.SetMemoText({QStringLiteral("Meter in the basement"), QStringLiteral("Read every month"),
                      QStringLiteral("Key at the desk")});
    form.Show();
    QApplication::processEvents();
    drop.ShowDropDown();
    Shoot(form, drop, QStringLiteral("memo_open.png"));
}

TEST_F(LeafScreenshot, Calculator)
{
    TExCalculatorDropdown drop(&form);
    drop.SetBounds(60, 20, 200, 21);
    drop.SetLabelCaption(QStringLiteral("Factor:"));
    drop.SetLabelPosition(lpLeftCenter);
    drop.SetText(QStringLiteral("12.5"));
    form.Show();
    QApplication::processEvents();
    drop.ShowDropDown();
    Shoot(form, drop, QStringLiteral("calculator_open.png"));
}

TEST_F(LeafScreenshot, Detail)
{
    form.SetBounds(100, 100, 320, 80);
    TExDetailDropDown drop(&form);
    drop.SetBounds(60, 20, 200, 21);
    drop.SetLabelCaption(QStringLiteral("Medium:"));
    drop.SetLabelPosition(lpLeftCenter);
    drop.SetItemHeight(36);
    drop.SetDropDownHeight(4 * 36 + 8);
    const std::pair<const char*, const char*> items[] = {
        {"Water", "cold and <b>hot</b> water"},
        {"Heat", "heat meters"},
        {"Gas", "<i>volume</i> corrected"},
        {"Electricity", "active energy"},
    };
    for (const auto& [caption, notes] : items) {
        TDetailItem* item = drop.Items().Add();
        item->SetCaption(QString::fromLatin1(caption));
        item->SetNotes(QString::fromLatin1(notes));
    }
    drop.SetItemIndex(1);
    form.Show();
    QApplication::processEvents();
    drop.ShowDropDown();
    drop.ItemSelector()->Panel()->SetItemHot(2);
    Shoot(form, drop, QStringLiteral("detail_open.png"));
}
