#include "configuration/UParGen.h"
#include "support/TestSupport.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "widgets/LbButton.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QDir>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

using namespace platform;
using namespace ParGen;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// A user's choice from a list: the list changes and tells the window.
void Choose(TComboBox* combo, const QString& text)
{
    const int index = static_cast<int>(combo->Items().indexOf(text));
    ASSERT_GE(index, 0) << text.toStdString();
    combo->SetItemIndex(index);
    emit combo->activated(index);
}

void Choose(TComboBox* combo, int index)
{
    combo->SetItemIndex(index);
    emit combo->activated(index);
}

// A configuration folder of its own and the window as the program makes it.
class ParGenWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Load_English_Table();
        SW_Code = QStringLiteral("DIZ5U15");
        Project_Folder = dir.path();
        FileName_ParGen = File();
        form = std::make_unique<TFParGen>();
    }
    void TearDown() override
    {
        form.reset();
        Project_Folder.clear();
        FileName_ParGen.clear();
    }

    QString File() const { return dir.filePath("ParGen.xml"); }
    TFParGen& W() { return *form; }

    // Opens the window modally; `action` runs while it shows. Returns the
    // modal result; the dialogs shown on the way are in `script`.
    TModalResult Open(DialogScript& script, const std::function<void()>& action)
    {
        script.AnswerForm([&](QWidget&) { action(); });
        return W().ShowModal();
    }

    // OK; when it is refused the window is cancelled.
    void Ok()
    {
        testsupport::Click(W().Btn_OK);
        if (W().ModalResult() == mrNone)
            testsupport::Click(W().Btn_Cancel);
    }

    // Fills every control as a user would for a whole X5K15 configuration.
    void Fill_Full_Configuration()
    {
        Choose(W().CB_LoRa_RF_Band, "EU868");
        Choose(W().CB_LoRa_Network_Type, "Public");
        W().CB_LoRa_Adaptive_DataRate->SetChecked(true);
        Choose(W().CB_LoRa_DataRate, "3 -\tLoRa: SF9/125kHz 1760 [bit/s]");
        Choose(W().CB_LoRa_Transmission_Type, "Confirmed");
        Choose(W().CB_LoRa_Activation_Method, Method_ABP);
        testsupport::Type(W().E_LoRa_Device_Address, "26011b2c");
        testsupport::Type(W().E_LoRa_JoinEUI, "70B3D57ED0001234");
        testsupport::Type(W().E_LoRa_Network_Session_Key, "000102030405060708090a0b0c0d0e0f");
        testsupport::Type(W().E_LoRa_Application_Session_Key, "F0E0D0C0B0A090807060504030201000");
        W().E_LoRa_Application_Key->SetText("00112233445566778899AABBCCDDEEFF");   // hidden with ABP, kept
        Choose(W().CB_LoRa_FPort, "Variable");
        W().CB_LoRa_FrequencySubBand->SetItemIndex(1);   // hidden with EU868, kept
        const char* ip[] = {"10", "0", "0x10", "010"};
        const char* sm[] = {"255", "255", "0", "0"};
        const char* gat[] = {"10", "0", "0", "1"};
        for (int i = 0; i < 4; ++i) {
            W().E_Ethernet_IP[i]->SetText(ip[i]);
            W().E_Ethernet_SM[i]->SetText(sm[i]);
            W().E_Ethernet_GAT[i]->SetText(gat[i]);
        }
        W().CB_Ethernet_En_GAT->SetChecked(true);
        Choose(W().CB_MBus_OnWire_Present, 1);
        Choose(W().CB_MBus_Baud, "9600");
        Choose(W().CB_MBus_Parity, "EVEN");
        W().E_MBus_Cyclic_Delay->SetText("60");
        W().E_MBus_NodeState->SetText("255");
        W().CB_MBus_FixCField->SetChecked(true);
        Choose(W().CB_MBus_SelectCField, "0x7X");
        Choose(W().CB_wMBus_Wireless_Present, 1);
        Choose(W().CB_wMBus_Mode, "T");
        Choose(W().CB_wMBus_Radio_Channel, "0 @ 19200 bps");
    }

    QTemporaryDir dir;
    std::unique_ptr<TFParGen> form;
};

const QByteArray kFullConfiguration =
    "<Par_Gen>\n"
    "\t<LoRa_RF_Band>EU868</LoRa_RF_Band>\n"
    "\t<LoRa_Network_Type>Public</LoRa_Network_Type>\n"
    "\t<LoRa_Adaptive_DataRate>1</LoRa_Adaptive_DataRate>\n"
    "\t<LoRa_DataRate>3 -\tLoRa: SF9/125kHz 1760 [bit/s]</LoRa_DataRate>\n"
    "\t<LoRa_Transmission_Type>Confirmed</LoRa_Transmission_Type>\n"
    "\t<LoRa_Payload_Size>115</LoRa_Payload_Size>\n"
    "\t<LoRa_Activation_Method>Activation by Personalization [ABP]</LoRa_Activation_Method>\n"
    "\t<LoRa_Device_Address>26011B2C</LoRa_Device_Address>\n"
    "\t<LoRa_JoinEUI>70B3D57ED0001234</LoRa_JoinEUI>\n"
    "\t<LoRa_Network_Session_Key>000102030405060708090A0B0C0D0E0F</LoRa_Network_Session_Key>\n"
    "\t<LoRa_Application_Session_Key>F0E0D0C0B0A090807060504030201000</LoRa_Application_Session_Key>\n"
    "\t<LoRa_Application_Key>00112233445566778899AABBCCDDEEFF</LoRa_Application_Key>\n"
    "\t<LoRa_FPort>Variable</LoRa_FPort>\n"
    "\t<LoRa_Frequency_SubBand>2</LoRa_Frequency_SubBand>\n"
    "\t<Ethernet_IP1>10</Ethernet_IP1>\n"
    "\t<Ethernet_IP2>0</Ethernet_IP2>\n"
    "\t<Ethernet_IP3>0x10</Ethernet_IP3>\n"
    "\t<Ethernet_IP4>010</Ethernet_IP4>\n"
    "\t<Ethernet_SM1>255</Ethernet_SM1>\n"
    "\t<Ethernet_SM2>255</Ethernet_SM2>\n"
    "\t<Ethernet_SM3>0</Ethernet_SM3>\n"
    "\t<Ethernet_SM4>0</Ethernet_SM4>\n"
    "\t<Ethernet_GAT1>10</Ethernet_GAT1>\n"
    "\t<Ethernet_GAT2>0</Ethernet_GAT2>\n"
    "\t<Ethernet_GAT3>0</Ethernet_GAT3>\n"
    "\t<Ethernet_GAT4>1</Ethernet_GAT4>\n"
    "\t<Ethernet_EN_GAT>1</Ethernet_EN_GAT>\n"
    "\t<Ethernet_DNS1>8</Ethernet_DNS1>\n"
    "\t<Ethernet_DNS2>8</Ethernet_DNS2>\n"
    "\t<Ethernet_DNS3>8</Ethernet_DNS3>\n"
    "\t<Ethernet_DNS4>8</Ethernet_DNS4>\n"
    "\t<Ethernet_EN_DNS>0</Ethernet_EN_DNS>\n"
    "\t<Meter_Present>1</Meter_Present>\n"
    "\t<Meter_Baud>5</Meter_Baud>\n"
    "\t<Meter_Par>2</Meter_Par>\n"
    "\t<Meter_Req_Delay>60</Meter_Req_Delay>\n"
    "\t<Meter_NS_Error_Code>255</Meter_NS_Error_Code>\n"
    "\t<Meter_Use_Fix_C_Field>1</Meter_Use_Fix_C_Field>\n"
    "\t<Meter_Select_C_Field>1</Meter_Select_C_Field>\n"
    "\t<wMBus_Present>1</wMBus_Present>\n"
    "\t<wMBus_Mode>1</wMBus_Mode>\n"
    "\t<wMBus_Radio_Channel>6</wMBus_Radio_Channel>\n"
    "</Par_Gen>\n"
    "<!--SW_VERSION = 1.002-->\n";

// The rows a layout shows in the LoRaWAN panel, top to bottom, by the top of
// their field (a check box by its own top).
std::vector<std::pair<QString, int>> Shown_LoRa_Rows(TFParGen& w)
{
    std::vector<std::pair<QString, int>> rows;
    for (QWidget* field : std::initializer_list<QWidget*>{
             w.CB_LoRa_RF_Band, w.CB_LoRa_FrequencySubBand, w.CB_LoRa_Network_Type, w.CB_LoRa_Adaptive_DataRate,
             w.CB_LoRa_DataRate, w.CB_LoRa_Transmission_Type, w.E_LoRa_Payload_Size, w.E_LoRa_JoinEUI,
             w.CB_LoRa_Activation_Method, w.E_LoRa_Device_Address, w.E_LoRa_Network_Session_Key,
             w.E_LoRa_Application_Session_Key, w.E_LoRa_Application_Key, w.CB_LoRa_FPort})
        if (!field->isHidden())
            rows.emplace_back(field->objectName(), field->y());
    return rows;
}

} // namespace

TEST_F(ParGenWindow, ANewConfigurationOpensWithTheDefaultsAndCancelWritesNothing)
{
    DialogScript script;
    const TModalResult result = Open(script, [&] {
        EXPECT_EQ(W().Caption(), "Set Communication");
        EXPECT_EQ(W().L_SW_Code->Caption(), "DIZ5U15");
        EXPECT_EQ(W().L_SW_Desc->Caption(), "Set Communication Setting");
        EXPECT_EQ(W().CB_LoRa_RF_Band->Text(), "AS923");
        EXPECT_EQ(W().CB_LoRa_DataRate->Text(), "6\t- LoRa: SF7/250kHz 11000 [bit/s]");
        EXPECT_EQ(W().CB_LoRa_DataRate->ItemCount(), 8);
        EXPECT_EQ(W().E_LoRa_Payload_Size->Text(), "230");
        EXPECT_TRUE(W().E_LoRa_Payload_Size->ReadOnly());
        EXPECT_EQ(W().CB_LoRa_Activation_Method->Text(), Method_ABP);
        EXPECT_EQ(W().CB_MBus_OnWire_Present->Text(), "Present");
        EXPECT_EQ(W().CB_MBus_Parity->Text(), "EVEN");
        EXPECT_EQ(W().CB_MBus_Baud->Text(), "300");
        EXPECT_EQ(W().E_MBus_Cyclic_Delay->Text(), "100");
        EXPECT_EQ(W().CB_wMBus_Wireless_Present->Text(), "Not Present");
        EXPECT_EQ(W().E_Ethernet_IP[3]->Text(), "10");
        EXPECT_FALSE(W().CB_Ethernet_En_GAT->Checked());
        EXPECT_EQ(W().Values(), ParGen_New_Values());
        // Changes the user then cancels.
        Choose(W().CB_LoRa_RF_Band, "EU868");
        W().E_MBus_Cyclic_Delay->SetText("5");
        testsupport::Click(W().Btn_Cancel);
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(script.Unanswered(), 0);
    EXPECT_FALSE(QFile::exists(File()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});

    // The next showing starts again from what is saved: nothing.
    Open(script, [&] {
        EXPECT_EQ(W().CB_LoRa_RF_Band->Text(), "AS923");
        EXPECT_EQ(W().E_MBus_Cyclic_Delay->Text(), "100");
        W().Close();
    });
    EXPECT_FALSE(QFile::exists(File()));
}

TEST_F(ParGenWindow, AFullConfigurationIsSavedByteForByteAndShownAgain)
{
    // An older file with elements this window does not write.
    ASSERT_TRUE(WriteAll(File(), "<Par_Gen><BACnet_Type>1</BACnet_Type><LoRa_Payload_Size>7</LoRa_Payload_Size></Par_Gen>"));
    DialogScript script;
    EXPECT_EQ(Open(script, [&] {
                  Fill_Full_Configuration();
                  EXPECT_EQ(W().E_LoRa_Payload_Size->Text(), "115");
                  Ok();
              }),
              mrOk);
    ASSERT_EQ(script.Shown().size(), 1u) << "no message: " << script.Shown().back().text.toStdString();
    EXPECT_EQ(ReadAll(File()).toStdString(), kFullConfiguration.toStdString());

    TParGen_Values shown;
    EXPECT_EQ(Open(script, [&] {
                  shown = W().Values();
                  EXPECT_EQ(W().CB_LoRa_DataRate->Text(), "3 -\tLoRa: SF9/125kHz 1760 [bit/s]");
                  EXPECT_EQ(W().CB_MBus_Baud->Text(), "9600");
                  EXPECT_TRUE(W().CB_Ethernet_En_GAT->Checked());
                  Ok();
              }),
              mrOk);
    EXPECT_EQ(shown[LoRa_Application_Key], "00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(ReadAll(File()).toStdString(), kFullConfiguration.toStdString());
}

TEST_F(ParGenWindow, EveryCheckOfOkWithItsMessage)
{
    using Edit = std::function<void(TFParGen&)>;
    auto text = [](TEdit* TFParGen::*field, const char* value) -> Edit {
        return [=](TFParGen& w) { (w.*field)->SetText(QString::fromLatin1(value)); };
    };
    auto octet = [](TEdit* (TFParGen::*row)[4], int i, const char* value) -> Edit {
        return [=](TFParGen& w) { (w.*row)[i]->SetText(QString::fromLatin1(value)); };
    };
    auto none = [](TComboBox* TFParGen::*list) -> Edit { return [=](TFParGen& w) { (w.*list)->SetItemIndex(-1); }; };
    auto otaa = [](TFParGen& w) { Choose(w.CB_LoRa_Activation_Method, Method_OTAA); };
    auto both = [](Edit a, Edit b) -> Edit { return [=](TFParGen& w) { a(w); b(w); }; };
    auto gateway = [](TFParGen& w) { w.CB_Ethernet_En_GAT->SetChecked(true); };
    auto noGateway = [](TFParGen& w) { w.CB_Ethernet_En_GAT->SetChecked(false); };
    auto dns = [](TFParGen& w) { w.CB_Ethernet_DNS->SetChecked(true); };
    auto absent = [](TFParGen& w) { Choose(w.CB_MBus_OnWire_Present, 0); };
    using W_ = TFParGen;

    struct Case
    {
        const char* why;
        Edit edit;
        int message;   // 0: accepted and saved
        const char* shown = nullptr;   // when the text is not the entry as it stands
    };
    const Case cases[] = {
        {"valid as filled", [](TFParGen&) {}, 0},
        {"no band", none(&W_::CB_LoRa_RF_Band), 493},
        {"no network type", none(&W_::CB_LoRa_Network_Type), 494},
        {"no data rate", none(&W_::CB_LoRa_DataRate), 495},
        {"no transmission type", none(&W_::CB_LoRa_Transmission_Type), 496},
        {"payload 0", text(&W_::E_LoRa_Payload_Size, "0"), 497, "Error LoRa!! Payload Size must be between 1 and 115"},
        {"payload above the maximum", text(&W_::E_LoRa_Payload_Size, "116"), 497,
         "Error LoRa!! Payload Size must be between 1 and 115"},
        {"payload no number", text(&W_::E_LoRa_Payload_Size, "x"), 497,
         "Error LoRa!! Payload Size must be between 1 and 115"},
        {"no activation method", none(&W_::CB_LoRa_Activation_Method), 499},
        // Keys and addresses of the chosen method must be whole when filled in;
        // empty they go into the image as zeros.
        {"ABP: device address empty", text(&W_::E_LoRa_Device_Address, ""), 0},
        {"ABP: every key empty",
         both(both(text(&W_::E_LoRa_Device_Address, ""), text(&W_::E_LoRa_JoinEUI, "")),
              both(text(&W_::E_LoRa_Network_Session_Key, ""), text(&W_::E_LoRa_Application_Session_Key, ""))),
         0},
        {"ABP: device address a blank", text(&W_::E_LoRa_Device_Address, " "), 500},
        {"ABP: device address short", text(&W_::E_LoRa_Device_Address, "26011B2"), 500},
        {"ABP: device address not hexadecimal", text(&W_::E_LoRa_Device_Address, "26011B2G"), 500},
        {"ABP: JoinEUI partly typed", text(&W_::E_LoRa_JoinEUI, "70B3D5"), 501},
        {"ABP: JoinEUI may stay empty", text(&W_::E_LoRa_JoinEUI, ""), 0},
        {"ABP: network session key short", text(&W_::E_LoRa_Network_Session_Key, "000102030405060708090A0B0C0D0E0"),
         502},
        {"ABP: application session key with a blank",
         text(&W_::E_LoRa_Application_Session_Key, "F0E0D0C0B0A09080 060504030201000"), 503},
        {"ABP: the hidden application key is not checked", text(&W_::E_LoRa_Application_Key, "12"), 0},
        {"OTAA: JoinEUI empty", both(otaa, text(&W_::E_LoRa_JoinEUI, "")), 0},
        {"OTAA: JoinEUI short", both(otaa, text(&W_::E_LoRa_JoinEUI, "70B3D57ED000123")), 501},
        {"OTAA: application key empty", both(otaa, text(&W_::E_LoRa_Application_Key, "")), 0},
        {"OTAA: application key needed", both(otaa, text(&W_::E_LoRa_Application_Key, "00112233")), 504},
        {"OTAA: the hidden ABP keys are not checked",
         both(otaa, both(text(&W_::E_LoRa_Device_Address, ""), text(&W_::E_LoRa_Network_Session_Key, "1"))), 0},
        {"IP 1 above 255", octet(&W_::E_Ethernet_IP, 0, "256"), 465},
        {"IP 2 negative", octet(&W_::E_Ethernet_IP, 1, "-1"), 466},
        {"IP 3 no number", octet(&W_::E_Ethernet_IP, 2, "abc"), 467},
        {"IP 4 empty", octet(&W_::E_Ethernet_IP, 3, ""), 468},
        {"IP in hexadecimal passes", octet(&W_::E_Ethernet_IP, 0, "0x10"), 0},
        {"mask 1", octet(&W_::E_Ethernet_SM, 0, "256"), 469},
        {"mask 2", octet(&W_::E_Ethernet_SM, 1, "1.5"), 470},
        {"mask 3", octet(&W_::E_Ethernet_SM, 2, "$100"), 471},
        {"mask 4", octet(&W_::E_Ethernet_SM, 3, "x"), 472},
        {"gateway 1", both(gateway, octet(&W_::E_Ethernet_GAT, 0, "999")), 473},
        {"gateway 2", both(gateway, octet(&W_::E_Ethernet_GAT, 1, "")), 474},
        {"gateway 3", both(gateway, octet(&W_::E_Ethernet_GAT, 2, "-5")), 475},
        {"gateway 4", both(gateway, octet(&W_::E_Ethernet_GAT, 3, "256")), 476},
        {"gateway off: its octets are not checked", both(noGateway, octet(&W_::E_Ethernet_GAT, 0, "999")), 0},
        {"name server 1", both(dns, octet(&W_::E_Ethernet_DNS, 0, "300")), 477},
        {"name server 2", both(dns, octet(&W_::E_Ethernet_DNS, 1, "")), 478},
        {"name server 3", both(dns, octet(&W_::E_Ethernet_DNS, 2, "a")), 479},
        {"name server 4", both(dns, octet(&W_::E_Ethernet_DNS, 3, "-1")), 480},
        {"name server off: not checked", octet(&W_::E_Ethernet_DNS, 0, "300"), 0},
        {"cyclic delay above 65535", text(&W_::E_MBus_Cyclic_Delay, "70000"), 653},
        {"cyclic delay also with no M-Bus port", both(absent, text(&W_::E_MBus_Cyclic_Delay, "-1")), 653},
        {"node state above 255", text(&W_::E_MBus_NodeState, "256"), 654},
        {"node state in hexadecimal passes", text(&W_::E_MBus_NodeState, "$FF"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QFile::remove(File());
        DialogScript script;
        const TModalResult result = Open(script, [&] {
            Fill_Full_Configuration();
            c.edit(W());
            Ok();
        });
        if (c.message == 0) {
            EXPECT_EQ(result, mrOk);
            EXPECT_EQ(script.Shown().size(), 1u);
            EXPECT_TRUE(QFile::exists(File()));
            continue;
        }
        EXPECT_EQ(result, mrCancel);
        ASSERT_EQ(script.Shown().size(), 2u);
        const ShownDialog& shown = script.Shown()[1];
        EXPECT_EQ(shown.kind, MessageKind::Error);
        EXPECT_EQ(shown.buttons, MessageButtons::Ok);
        EXPECT_EQ(shown.text, c.shown ? QString::fromLatin1(c.shown) : Language_List.value(c.message));
        EXPECT_FALSE(QFile::exists(File())) << "nothing written";
    }
}

// A file that cannot be read may still hold every value the user entered:
// the window says so and, unless the user allows it to be replaced, closes
// without writing. Allowed, it opens on the defaults and only OK replaces it.
TEST_F(ParGenWindow, AnUnreadableFileIsReplacedOnlyWhenTheUserAllowsIt)
{
    const QByteArray broken[] = {"", QByteArray("\x00\xFF garbage", 10), "<!--SW_VERSION = 1.002-->",
                                 "<Par_Gen><LoRa_RF_Band>EU868</LoRa_RF_Band>"};
    for (const QByteArray& bytes : broken) {
        SCOPED_TRACE(bytes.toStdString());
        ASSERT_TRUE(WriteAll(File(), bytes));
        DialogScript script;
        script.AnswerForm([](QWidget&) {});
        script.AnswerMessage(MessageAnswer::No);
        EXPECT_EQ(W().ShowModal(), mrCancel);
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_EQ(script.Shown()[1].kind, MessageKind::Error);
        EXPECT_EQ(script.Shown()[1].buttons, MessageButtons::YesNo);
        EXPECT_EQ(script.Shown()[1].text.count("ParGen.xml"), 1) << script.Shown()[1].text.toStdString();
        EXPECT_EQ(script.AnswersLeft(), 0);
        EXPECT_EQ(ReadAll(File()), bytes) << "kept";

        // Allowed: the defaults are shown, and Cancel still keeps the file.
        DialogScript allow;
        allow.AnswerForm([&](QWidget&) {
            EXPECT_EQ(W().Values(), ParGen_New_Values());
            testsupport::Click(W().Btn_Cancel);
        });
        allow.AnswerMessage(MessageAnswer::Yes);
        EXPECT_EQ(W().ShowModal(), mrCancel);
        EXPECT_EQ(allow.AnswersLeft(), 0);
        EXPECT_EQ(ReadAll(File()), bytes) << "kept until OK";
    }

    // Allowed, OK replaces it with a whole file.
    DialogScript script;
    script.AnswerForm([&](QWidget&) {
        Fill_Full_Configuration();
        Ok();
    });
    script.AnswerMessage(MessageAnswer::Yes);
    EXPECT_EQ(W().ShowModal(), mrOk);
    EXPECT_EQ(ReadAll(File()).toStdString(), kFullConfiguration.toStdString());
}

TEST_F(ParGenWindow, ValuesThatDoNotConvertShowTheirDefaultsOrNothing)
{
    // The document element is read, as the image compiler reads it.
    ASSERT_TRUE(WriteAll(File(), "<!--x--><Par_Gen><LoRa_RF_Band>EU868</LoRa_RF_Band></Par_Gen>"));
    DialogScript script;
    Open(script, [&] {
        EXPECT_EQ(W().CB_LoRa_RF_Band->Text(), "EU868") << "a comment first changes nothing";
        EXPECT_EQ(W().CB_LoRa_DataRate->ItemIndex(), 0);
        W().Close();
    });
    ASSERT_TRUE(WriteAll(File(), "<Other><LoRa_RF_Band>eu868</LoRa_RF_Band><LoRa_FPort>fixe</LoRa_FPort>"
                                 "<Meter_Par>x</Meter_Par><Meter_Baud>12</Meter_Baud><Meter_Present>?</Meter_Present>"
                                 "<LoRa_JoinEUI>70b3d5</LoRa_JoinEUI><LoRa_Payload_Size>1</LoRa_Payload_Size></Other>"));
    Open(script, [&] {
        EXPECT_EQ(W().CB_LoRa_RF_Band->Text(), "EU868");
        EXPECT_EQ(W().CB_LoRa_DataRate->Text(), "0 -\tLoRa: SF12/125kHz 250 [bit/s]");
        EXPECT_EQ(W().E_LoRa_Payload_Size->Text(), "51");
        EXPECT_EQ(W().CB_LoRa_FPort->ItemIndex(), -1);
        EXPECT_EQ(W().CB_MBus_Parity->Text(), "NONE");
        EXPECT_EQ(W().CB_MBus_Baud->ItemIndex(), -1);
        EXPECT_EQ(W().CB_MBus_OnWire_Present->Text(), "Present");
        EXPECT_EQ(W().E_LoRa_JoinEUI->Text(), "70B3D5") << "the key field shows upper case";
        W().Close();
    });
    EXPECT_EQ(script.Shown().size(), 2u) << "no message for values that do not convert";
}

TEST_F(ParGenWindow, BandAndDataRateGiveThePayloadMaximum)
{
    DialogScript script;
    Open(script, [&] {
        Choose(W().CB_LoRa_RF_Band, "EU868");
        EXPECT_EQ(W().CB_LoRa_DataRate->ItemIndex(), 0);
        EXPECT_EQ(W().E_LoRa_Payload_Size->Text(), "51");
        Choose(W().CB_LoRa_DataRate, "4 -\tLoRa: SF8/125kHz 3125 [bit/s]");
        EXPECT_EQ(W().E_LoRa_Payload_Size->Text(), "222");
        Choose(W().CB_LoRa_RF_Band, "US915");
        Choose(W().CB_LoRa_DataRate, "3  -\tLoRa: SF7/125kHz 5470 [bit/s]");
        EXPECT_EQ(W().E_LoRa_Payload_Size->Text(), "242");
        Choose(W().CB_LoRa_RF_Band, "US915-Hybrid");
        EXPECT_EQ(W().CB_LoRa_DataRate->Text(), "0  - LoRa: SF10/125kHz 980 [bit/s]");
        EXPECT_EQ(W().E_LoRa_Payload_Size->Text(), "11");
        EXPECT_EQ(W().Find_Max_PayLoad(), 11);
        W().Close();
    });
}

TEST_F(ParGenWindow, RowsFollowTheBandTheMethodAndThePresence)
{
    DialogScript script;
    Open(script, [&] {
        const int base = W().CB_LoRa_RF_Band->y();
        auto rows = Shown_LoRa_Rows(W());
        // ABP on "AS923": no sub-band, no application key, rows 28 apart.
        const std::vector<QString> abp = {"CB_LoRa_RF_Band", "CB_LoRa_Network_Type", "CB_LoRa_Adaptive_DataRate",
                                          "CB_LoRa_DataRate", "CB_LoRa_Transmission_Type", "E_LoRa_Payload_Size",
                                          "E_LoRa_JoinEUI", "CB_LoRa_Activation_Method", "E_LoRa_Device_Address",
                                          "E_LoRa_Network_Session_Key", "E_LoRa_Application_Session_Key",
                                          "CB_LoRa_FPort"};
        ASSERT_EQ(rows.size(), abp.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].first, abp[i]);
            if (i > 0 && rows[i].first != "CB_LoRa_Adaptive_DataRate") {
                EXPECT_EQ(rows[i].second, base + 28 * int(i) - 3) << rows[i].first.toStdString();
            }
        }
        EXPECT_EQ(W().L_LoRa_FPort->y(), base + 28 * 11);
        const int fportAbp = W().CB_LoRa_FPort->y();
        const int heightAbp = W().CP_LoRa->ExpandedHeight();
        EXPECT_EQ(heightAbp, fportAbp + W().CB_LoRa_FPort->height() + W().CPG->HeaderHeight() + 12);

        // OTAA: the application key alone; FPort two rows higher.
        Choose(W().CB_LoRa_Activation_Method, Method_OTAA);
        EXPECT_TRUE(W().E_LoRa_Device_Address->isHidden());
        EXPECT_TRUE(W().L_LoRa_Network_Session_Key->isHidden());
        EXPECT_FALSE(W().E_LoRa_Application_Key->isHidden());
        EXPECT_EQ(W().E_LoRa_Application_Key->y(), W().CB_LoRa_Activation_Method->y() + 28);
        EXPECT_EQ(W().CB_LoRa_FPort->y(), fportAbp - 56);
        EXPECT_EQ(W().CP_LoRa->ExpandedHeight(), heightAbp - 56);

        // "US915": the sub-band row under the band, every later row one lower.
        Choose(W().CB_LoRa_RF_Band, "US915");
        EXPECT_FALSE(W().CB_LoRa_FrequencySubBand->isHidden());
        EXPECT_EQ(W().CB_LoRa_FrequencySubBand->y(), base + 25);
        EXPECT_EQ(W().CB_LoRa_FPort->y(), fportAbp - 28);
        Choose(W().CB_LoRa_RF_Band, "KR920");
        EXPECT_TRUE(W().CB_LoRa_FrequencySubBand->isHidden());
        EXPECT_TRUE(W().L_LoRa_FrequencySubBand->isHidden());

        // The M-Bus panels shrink to their presence row.
        const int mbusPresent = W().CP_MBus->ExpandedHeight();
        Choose(W().CB_MBus_OnWire_Present, 0);
        for (QWidget* w : std::initializer_list<QWidget*>{W().CB_MBus_Baud, W().L_MBus_Parity, W().E_MBus_NodeState,
                                                           W().CB_MBus_FixCField, W().CB_MBus_SelectCField})
            EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
        EXPECT_EQ(W().CP_MBus->ExpandedHeight(),
                  W().CB_MBus_OnWire_Present->y() + W().CB_MBus_OnWire_Present->height() + W().CPG->HeaderHeight() + 12);
        EXPECT_LT(W().CP_MBus->ExpandedHeight(), mbusPresent);
        EXPECT_TRUE(W().CB_wMBus_Mode->isHidden());
        const int wmbusAbsent = W().CP_wMBus->ExpandedHeight();
        Choose(W().CB_wMBus_Wireless_Present, 1);
        EXPECT_FALSE(W().CB_wMBus_Radio_Channel->isHidden());
        EXPECT_GT(W().CP_wMBus->ExpandedHeight(), wmbusAbsent);
        EXPECT_EQ(W().CP_MBus->y() + W().CP_MBus->height(), W().CP_wMBus->y()) << "panels stay stacked";

        // The Ethernet panel never shows the name server or the ports.
        for (QWidget* w : std::initializer_list<QWidget*>{W().CB_Ethernet_DNS, W().E_Ethernet_DNS[0],
                                                           W().E_Ethernet_TCP_Port, W().L_Ethernet_UDP_Port})
            EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
        EXPECT_TRUE(W().E_Ethernet_GAT[3]->isVisible());
        W().Close();
    });
}

TEST_F(ParGenWindow, KeyFieldsTakeHexadecimalDigitsTypedOrPasted)
{
    DialogScript script;
    Open(script, [&] {
        TEdit* eui = W().E_LoRa_JoinEUI;
        testsupport::Type(eui, "12 ab-Gf");
        EXPECT_EQ(eui->Text(), "12ABF") << "the blank, \"-\" and \"G\" are not digits";
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(QChar(8)));
        QApplication::sendEvent(eui, &backspace);
        EXPECT_EQ(eui->Text(), "12AB") << "control keys pass";

        // Pasted text keeps its digits, taken before the field's length cuts it.
        TEdit* address = W().E_LoRa_Device_Address;
        QGuiApplication::clipboard()->setText("de:ad be-ef 01");
        address->SetFocus();
        QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QString(QChar(0x16)));
        QApplication::sendEvent(address, &paste);
        EXPECT_EQ(address->Text(), "DEADBEEF");
        // So does the context menu's paste.
        address->SetText("");
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), address->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(address, &menuEvent);
        auto* menu = address->findChild<QMenu*>();
        ASSERT_NE(menu, nullptr);
        QAction* pasteAction = nullptr;
        for (QAction* a : menu->actions())
            if (a->text().startsWith(QLineEdit::tr("&Paste")))
                pasteAction = a;
        ASSERT_NE(pasteAction, nullptr);
        pasteAction->trigger();
        menu->close();
        EXPECT_EQ(address->Text(), "DEADBEEF");
        // Any other way in is filtered as well.
        W().E_LoRa_Network_Session_Key->paste();
        EXPECT_EQ(W().E_LoRa_Network_Session_Key->Text(), "DEADBEEF01");
        // The payload field is read-only: nothing goes in.
        QApplication::sendEvent(W().E_LoRa_Payload_Size, &paste);
        EXPECT_EQ(W().E_LoRa_Payload_Size->Text(), "230");
        W().Close();
    });
}

TEST_F(ParGenWindow, ADotInAnOctetMovesToTheNextField)
{
    DialogScript script;
    Open(script, [&] {
        W().activateWindow();
        QApplication::processEvents();
        TEdit* ip1 = W().E_Ethernet_IP[0];
        ip1->SetText("");
        ip1->SetFocus();
        testsupport::Type(ip1, "10.");
        EXPECT_EQ(ip1->Text(), "10");
        EXPECT_EQ(QApplication::focusWidget(), W().E_Ethernet_IP[1]);
        TEdit* sm4 = W().E_Ethernet_SM[3];
        testsupport::Type(sm4, ".");
        EXPECT_EQ(QApplication::focusWidget(), W().E_Ethernet_GAT[0]) << "the chain goes on to the gateway";
        // Gateway 4 has no shown field after it: the "." is only dropped.
        TEdit* gat4 = W().E_Ethernet_GAT[3];
        gat4->SetFocus();
        testsupport::Type(gat4, ".");
        EXPECT_EQ(gat4->Text(), "1");
        EXPECT_EQ(QApplication::focusWidget(), gat4);
        W().Close();
    });
}

TEST_F(ParGenWindow, TheWheelScrollsThePanelsAndNeverChangesAChoice)
{
    DialogScript script;
    Open(script, [&] {
        QApplication::processEvents();
        QScrollBar* bar = W().CPG->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 0) << "the panels are taller than the window";
        EXPECT_EQ(bar->value(), 0);
        testsupport::Wheel(W().CB_LoRa_RF_Band, -120);
        EXPECT_EQ(W().CB_LoRa_RF_Band->Text(), "AS923");
        const int lines = QApplication::wheelScrollLines();
        EXPECT_EQ(bar->value(), std::min(bar->maximum(), lines * bar->singleStep()));
        // Half notches add up.
        testsupport::Wheel(W().E_LoRa_JoinEUI, 60);
        const int after = bar->value();
        testsupport::Wheel(W().CP_LoRa, 60);
        EXPECT_EQ(after, std::min(bar->maximum(), lines * bar->singleStep()));
        EXPECT_EQ(bar->value(), 0);
        W().Close();
    });
}

TEST_F(ParGenWindow, OnlyTheHeightFollowsTheUser)
{
    EXPECT_EQ(W().ClientWidth(), 460);
    EXPECT_EQ(W().ClientHeight(), 700);
    EXPECT_EQ(W().BorderIcons(), biSystemMenu);
    DialogScript script;
    Open(script, [&] {
        W().resize(700, 820);   // as the user drags the frame
        QApplication::processEvents();
        EXPECT_EQ(W().ClientWidth(), 460);
        EXPECT_EQ(W().ClientHeight(), 820);
        EXPECT_EQ(W().CPG->height(), 820 - 69 - 40) << "the panels take the height";
        W().Close();
    });
}

TEST_F(ParGenWindow, ASaveThatFailsIsReportedAndTheWindowStaysOpen)
{
    const QByteArray old = "<Par_Gen><LoRa_RF_Band>EU868</LoRa_RF_Band></Par_Gen>";
    ASSERT_TRUE(WriteAll(File(), old));
    DialogScript script;
    bool stayed = false;
    Open(script, [&] {
        Fill_Full_Configuration();
        struct rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 512;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        testsupport::Click(W().Btn_OK);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        stayed = W().ModalResult() == mrNone;
        // The configuration's folder has gone meanwhile.
        FileName_ParGen = dir.filePath("gone/ParGen.xml");
        testsupport::Click(W().Btn_OK);
        stayed = stayed && W().ModalResult() == mrNone;
        testsupport::Click(W().Btn_Cancel);
    });
    EXPECT_TRUE(stayed);
    ASSERT_EQ(script.Shown().size(), 3u);
    for (int i : {1, 2}) {
        EXPECT_EQ(script.Shown()[i].kind, MessageKind::Error);
        EXPECT_TRUE(script.Shown()[i].text.contains("ParGen.xml"));
    }
    EXPECT_EQ(ReadAll(File()), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ParGen.xml"});
}

TEST_F(ParGenWindow, AKeyLongerThanItsFieldIsShownWholeAndRefusedNotCut)
{
    // Only a hand-edited file holds such keys; cut to the field they would
    // pass the check and be saved shortened.
    QByteArray file = kFullConfiguration;
    file.replace("<LoRa_Device_Address>26011B2C<", "<LoRa_Device_Address>26011B2C99<");
    file.replace("<LoRa_JoinEUI>70B3D57ED0001234<", "<LoRa_JoinEUI>70b3d57ed00012345<");
    ASSERT_TRUE(WriteAll(File(), file));
    DialogScript script;
    Open(script, [&] {
        TEdit* address = W().E_LoRa_Device_Address;
        EXPECT_EQ(address->Text(), "26011B2C99");
        EXPECT_EQ(W().E_LoRa_JoinEUI->Text(), "70B3D57ED00012345");
        testsupport::Click(W().Btn_OK);
        EXPECT_EQ(W().ModalResult(), mrNone);
        // Typing cannot make it longer; shortening it makes it whole.
        address->setCursorPosition(10);
        testsupport::Type(address, "A");
        EXPECT_EQ(address->Text(), "26011B2C99");
        address->SetText("26011B2C");
        testsupport::Click(W().Btn_OK);
        EXPECT_EQ(W().ModalResult(), mrNone);
        W().E_LoRa_JoinEUI->SetText("70B3D57ED0001234");
        Ok();
    });
    ASSERT_EQ(script.Shown().size(), 3u);
    EXPECT_EQ(script.Shown()[1].text, Language_List.value(500));
    EXPECT_EQ(script.Shown()[2].text, Language_List.value(501));
    EXPECT_EQ(ReadAll(File()).toStdString(), kFullConfiguration.toStdString());

    // The next showing holds the fields to their length again.
    Open(script, [&] {
        testsupport::Type(W().E_LoRa_Device_Address, "1");
        EXPECT_EQ(W().E_LoRa_Device_Address->Text(), "26011B2C");
        W().Close();
    });
}
