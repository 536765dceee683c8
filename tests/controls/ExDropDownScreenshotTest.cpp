// CONTROLS_SCREENSHOT_DIR=<dir> saves a drop-down edit with its popup open
// (header, a colour selector, footer with buttons and size grip), to be looked at.
#include "controls/ExDropDown.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace platform;

TEST(DropDownScreenshot, OpenPopupWithHeaderAndFooter)
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    QDir().mkpath(out);

    TForm form;
    form.SetBounds(100, 100, 320, 80);
    form.SetCaption(QStringLiteral("Drop-down"));
    TExCustomDropDown drop(&form);
    drop.SetBounds(60, 20, 200, 21);
    drop.SetLabelCaption(QStringLiteral("Colour:"));
    drop.SetLabelPosition(lpLeftCenter);
    drop.SetText(QStringLiteral("Red"));
    drop.DropDownHeader().SetCaption(QStringLiteral("<b>Pick</b> a colour"));
    TFooterButton* ok = drop.DropDownFooter().Buttons().Add();
    ok->SetCaption(QStringLiteral("OK"));
    ok->SetModalResult(mrOk);
    TFooterButton* cancel = drop.DropDownFooter().Buttons().Add();
    cancel->SetCaption(QStringLiteral("Cancel"));
    cancel->SetModalResult(mrCancel);

    auto* selector = new TExCustomItemSelector();
    selector->SetSelectorType(stColor);
    selector->SetColumns(2);
    const std::pair<const char*, TColor> colours[] = {
        {"Red", clRed}, {"Green", clGreen}, {"Blue", clBlue}, {"Yellow", clYellow}, {"Teal", clTeal},
        {"Purple", clPurple}};
    for (const auto& [name, colour] : colours) {
        TSelectorItem* item = selector->Items().Add();
        item->SetCaption(QString::fromUtf8(name));
        item->SetColor(colour);
    }
    const TSize panel = selector->GetSelectorPanelSize();
    selector->resize(panel.cx + 4, panel.cy + 4); // room inside the popup border
    drop.SetControl(selector);
    form.Show();
    QApplication::processEvents();
    drop.ShowDropDown();
    selector->SetItemIndex(0);
    selector->Panel()->SetItemHot(3);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    ASSERT_TRUE(drop.DroppedDown());

    // The form and its popup together, as the screen shows them.
    TDropDownForm* popup = drop.DropDownForm();
    const QRect all = form.frameGeometry().united(popup->geometry());
    QPixmap shot(all.size());
    shot.fill(Qt::darkGray);
    QPainter p(&shot);
    p.drawPixmap(form.geometry().topLeft() - all.topLeft(), form.grab());
    p.drawPixmap(popup->geometry().topLeft() - all.topLeft(), popup->grab());
    p.end();
    EXPECT_TRUE(shot.save(QDir(out).filePath(QStringLiteral("dropdown_open.png"))));
    EXPECT_TRUE(popup->grab().save(QDir(out).filePath(QStringLiteral("dropdown_popup.png"))));
    drop.HideDropDown(true);
}
