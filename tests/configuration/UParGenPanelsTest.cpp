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
        w.E_LoRa_Network_Session_Key->SetText("000102030405060708090A0B0C0D0E0F");
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
