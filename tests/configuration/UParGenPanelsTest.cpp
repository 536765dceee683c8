// PARGEN_SCREENSHOT_DIR=<dir> saves the general parameters window, to be
// looked at: the top and the bottom of its panels, and all of them in a
// window made tall enough, once with ABP on "AS923" and once with OTAA on
// "US915".
#include "configuration/UParGen.h"
#include "configuration/UParGen_Panels.h"
#include "support/TestSupport.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;

TEST(ParGenPanels, EveryModelOfTheFamily)
{
    Load_English_Table();
    ASSERT_EQ(ParGen_Panels().size(), 35u);
    ASSERT_EQ(ParGen_Models().size(), 29u);
    QSet<QString> models;
    for (const TParGen_Model& m : ParGen_Models()) {
        SCOPED_TRACE(m.model);
        EXPECT_FALSE(models.contains(m.model));
        models.insert(m.model);
        ASSERT_FALSE(m.panels.empty());
        EXPECT_STREQ(m.panels.front(), "CP_LoRa");
        for (const char* p : m.panels)
            EXPECT_NE(Find_ParGen_Panel(p), nullptr) << p;
        EXPECT_EQ(m.ethernet_follows_bacnet_type, QString(m.model) == "X5K16" || QString(m.model) == "X5K17");
    }
    EXPECT_EQ(Find_ParGen_Model("X5K28"), nullptr) << "not a model of the family";

    struct Row
    {
        const char* model;
        QStringList captions;
    };
    const Row rows[] = {
        {"X5K15", {"1. LoRaWAN", "2. M-Bus", "3. M-Bus Wireless", "4. Ethernet"}},
        {"X5K01", {"1. LoRaWAN", "2. Modbus Master", "3. Ethernet"}},
        {"X5K35", {"1. LoRaWAN", "2. IEC61850 Server", "3. TLS (Transport Layer Security) Server",
                   "4. NTP (Network Time Protocol)"}},
        {"X5K36", {"1. LoRaWAN", "2. MQTT", "3. Ethernet", "4. TLS (Transport Layer Security)",
                   "5. NTP (Network Time Protocol)"}},
        {"X5K41", {"1. LoRaWAN", "2. SNMP Agent"}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ParGen_Panel_Captions(*Find_ParGen_Model(r.model)), r.captions) << r.model;
    EXPECT_EQ(ParGen_Build_Model, "X5K15");
}

TEST(ParGenPanels, TheWindowShowsThisModelsPanelsInOrder)
{
    Load_English_Table();
    TFParGen w;
    const TParGen_Model& model = *Find_ParGen_Model(ParGen_Build_Model);
    const QStringList captions = ParGen_Panel_Captions(model);
    std::vector<TCategoryPanel*> shown;
    for (TCategoryPanel* p : w.CPG->Panels())
        if (p->Visible())
            shown.push_back(p);
    std::sort(shown.begin(), shown.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
    ASSERT_EQ(shown.size(), model.panels.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(model.panels[i]);
        EXPECT_EQ(shown[i], w.Panel(model.panels[i]));
        // The first panel shows its caption without its number.
        EXPECT_EQ(shown[i]->Caption(), i == 0 ? Language_List.value(406) : captions[int(i)]);
        if (i > 0) {
            EXPECT_EQ(shown[i]->y(), shown[i - 1]->y() + shown[i - 1]->height());
        }
    }
    EXPECT_EQ(w.CP_LoRa->Caption(), "LoRaWAN");
    EXPECT_EQ(w.CP_Ethernet->Caption(), "4. Ethernet");

    // A language change renews the first caption only.
    Language_List[406] = "LoRaWAN (it)";
    Language_List[631] = "M-Bus (it)";
    Language_List[633] = "Assente";
    w.Set_Lang();
    EXPECT_EQ(w.CP_LoRa->Caption(), "LoRaWAN (it)");
    EXPECT_EQ(w.CP_MBus->Caption(), "2. M-Bus");
    EXPECT_EQ(w.CB_MBus_OnWire_Present->Text(), "Assente");
    Load_English_Table();
}

namespace {

// How far the field's text would have to scroll to show its end: 0 when the
// whole text is in view.
int Scrolled(TEdit* edit, const QString& text)
{
    edit->SetText(text);
    edit->setCursorPosition(0);
    edit->grab();   // the scroll offset follows the cursor when painted
    const int start = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    edit->setCursorPosition(static_cast<int>(text.size()));
    edit->grab();
    const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    return edit->fontMetrics().horizontalAdvance(text) - (end - start);
}

// Every shown control of a panel inside its width, clear of the others, with
// its text in full.
void Expect_Laid_Out_Cleanly(TCategoryPanel* panel)
{
    SCOPED_TRACE(panel->Name().toStdString());
    QWidget* surface = panel->Surface();
    std::vector<QWidget*> shown;
    for (QWidget* w : surface->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!w->isHidden())
            shown.push_back(w);
    ASSERT_FALSE(shown.empty());
    for (size_t i = 0; i < shown.size(); ++i) {
        QWidget* a = shown[i];
        SCOPED_TRACE(a->objectName().toStdString());
        EXPECT_GE(a->x(), 0);
        EXPECT_LE(a->geometry().right(), surface->width() - 1) << "beyond the panel";
        EXPECT_LE(a->y() + a->height() + 12, panel->ExpandedHeight() - panel->HeaderHeight())
            << "below the panel's end";
        for (size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(a->geometry().intersects(shown[j]->geometry())) << shown[j]->objectName().toStdString();
        if (auto* check = dynamic_cast<TCheckBox*>(a)) {
            EXPECT_LE(check->sizeHint().width(), check->width()) << "caption cut";
        }
        if (auto* label = dynamic_cast<TLabel*>(a); label && label->WordWrap()) {
            TLabel probe;
            probe.SetFont(label->Font());
            probe.SetWordWrap(true);
            probe.SetBounds(0, 0, label->width(), 1);
            probe.SetCaption(label->Caption());
            EXPECT_LE(probe.height(), label->height()) << "lines cut";
        }
    }
}

} // namespace

TEST(ParGenPanels, NothingIsCutOrOverlaps)
{
    Load_English_Table();
    QTemporaryDir dir;
    FileName_ParGen = dir.filePath("ParGen.xml");
    TFParGen w;
    DialogScript script;
    script.AnswerForm([&](QWidget&) {
        QApplication::processEvents();
        ASSERT_TRUE(w.CPG->verticalScrollBar()->isVisible()) << "the narrowest case: the scroll bar takes room";
        // Every row shown: ABP with the sub-band, both M-Bus panels present.
        w.CB_LoRa_RF_Band->SetItemIndex(5);
        w.Change_LoRa_DataRate();
        w.CB_MBus_OnWire_Present->SetItemIndex(1);
        w.CB_wMBus_Wireless_Present->SetItemIndex(1);
        w.Move_GroupBoxs();
        QApplication::processEvents();
        for (TCategoryPanel* panel : {w.CP_LoRa, w.CP_MBus, w.CP_wMBus, w.CP_Ethernet})
            Expect_Laid_Out_Cleanly(panel);
        w.CB_LoRa_Activation_Method->SetItemIndex(1);
        w.Move_GroupBoxs();
        QApplication::processEvents();
        Expect_Laid_Out_Cleanly(w.CP_LoRa);

        // A whole key shows in its field, the widest digit ("D") too.
        const std::pair<TEdit*, int> keys[] = {{w.E_LoRa_Device_Address, 8}, {w.E_LoRa_JoinEUI, 16},
                                               {w.E_LoRa_Network_Session_Key, 32},
                                               {w.E_LoRa_Application_Session_Key, 32},
                                               {w.E_LoRa_Application_Key, 32}};
        for (const auto& [edit, digits] : keys)
            EXPECT_LE(Scrolled(edit, QString(digits, QChar('D'))), 0) << edit->Name().toStdString();
        w.Close();
    });
    w.ShowModal();
    FileName_ParGen.clear();
}

TEST(ParGenPanels, Screenshot)
{
    const QString target = qEnvironmentVariable("PARGEN_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "set PARGEN_SCREENSHOT_DIR to save the general parameters window";
    QDir().mkpath(target);
    Load_English_Table();
    SW_Code = QStringLiteral("DIZ5U15");
    QTemporaryDir dir;
    FileName_ParGen = dir.filePath("ParGen.xml");
    TFParGen w;
    auto save = [&](const char* name) {
        QApplication::processEvents();
        EXPECT_TRUE(w.grab().save(QDir(target).filePath(QString::fromLatin1(name))));
    };
    DialogScript script;
    script.AnswerForm([&](QWidget&) {
        w.E_LoRa_Device_Address->SetText("26011B2C");
        // "D" is the widest hexadecimal digit: the whole key must still show.
        w.E_LoRa_Network_Session_Key->SetText(QString(32, QChar('D')));
        w.E_LoRa_Application_Session_Key->SetText("F0E0D0C0B0A090807060504030201000");
        w.E_LoRa_JoinEUI->SetText("70B3D57ED0001234");
        w.CB_wMBus_Wireless_Present->SetItemIndex(1);
        w.Move_GroupBoxs();
        save("pargen-top.png");
        w.CPG->verticalScrollBar()->setValue(w.CPG->verticalScrollBar()->maximum());
        save("pargen-bottom.png");
        w.SetClientHeight(1080);
        w.CPG->verticalScrollBar()->setValue(0);
        save("pargen-all.png");
        w.CB_LoRa_RF_Band->SetItemIndex(5);
        w.Change_LoRa_DataRate();
        w.CB_LoRa_DataRate->SetItemIndex(10);
        w.Set_Max_Payload_Size();
        w.CB_LoRa_Activation_Method->SetItemIndex(1);
        w.E_LoRa_Application_Key->SetText("00112233445566778899AABBCCDDEEFF");
        w.CB_MBus_OnWire_Present->SetItemIndex(0);
        w.Move_GroupBoxs();
        save("pargen-otaa-us915.png");
        w.Close();
    });
    w.ShowModal();
    FileName_ParGen.clear();
}
