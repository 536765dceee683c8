// The M-Bus network in the device image read as the network editor reads it:
// the document element is the root (a comment before it changes nothing), a
// secondary address in hexadecimal digits is sent as its eight nibbles, and a
// network with a clash the editor's OK refuses is not compiled either.
#include "configuration/USaveBincc.h"

#include "shell/UComon.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::WriteAll;

namespace {

const QByteArray kParGen = "<Par_Gen><Meter_Present>1</Meter_Present><wMBus_Present>1</wMBus_Present>"
                           "<Meter_Req_Delay>100</Meter_Req_Delay></Par_Gen>\n";

QByteArray Var(int position, const char* enable = "1")
{
    return QByteArray("<Variabile Enable=\"") + enable + "\" Type=\"0\" Fun_Field=\"0\" Dim=\"2\" PositionData=\""
           + QByteArray::number(position) + "\"/>";
}

class USaveBinccNetwork : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Project_Folder = dir.path();
        FileName_ParGen = dir.filePath("ParGen.xml");
        FileName_M_Bus = dir.filePath("M_Bus.xml");
        FileName_LoRaWAN_SetAccess = dir.filePath("LoRaWAN_SetAccess.xml");
        ASSERT_TRUE(WriteAll(FileName_ParGen, kParGen));
    }
    void TearDown() override
    {
        Project_Folder.clear();
        FileName_ParGen.clear();
        FileName_M_Bus.clear();
        FileName_LoRaWAN_SetAccess.clear();
    }
    // Compiles the network; the bank 2 bytes, or the error.
    bool Compile(const QByteArray& network, QByteArray* bank2, QString* error)
    {
        EXPECT_TRUE(WriteAll(FileName_M_Bus, network));
        const bool ok = Compile_Device_Image(error);
        *bank2 = ok ? Bank2_Bytes() : QByteArray();
        return ok;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(USaveBinccNetwork, TheRootIsTheDocumentElement)
{
    const QByteArray nodes = "<Nodo ID_Primary=\"5\">" + Var(10) + "</Nodo><Nodo ID_Primary=\"6\">" + Var(20) + "</Nodo>";
    QByteArray plain, commented, declared;
    QString error;
    ASSERT_TRUE(Compile("<M-Bus_Network>" + nodes + "</M-Bus_Network>", &plain, &error)) << error.toStdString();
    EXPECT_EQ(plain.mid(5, 4), QByteArray::fromHex("47000000"));  // two wired meters: 13 + 2 * 29
    ASSERT_TRUE(Compile("<!-- kept by hand -->\n<M-Bus_Network>" + nodes + "</M-Bus_Network>\n<!--SW_VERSION = 1.002-->",
                        &commented, &error))
        << error.toStdString();
    ASSERT_TRUE(Compile("<?xml version=\"1.0\"?>\n<M-Bus_Network>" + nodes + "</M-Bus_Network>", &declared, &error))
        << error.toStdString();
    EXPECT_EQ(commented, plain);
    EXPECT_EQ(declared, plain);
}

TEST_F(USaveBinccNetwork, SecondaryAddressesAreSentAsTheirEightDigits)
{
    struct Case
    {
        const char* secondary;
        const char* bytes;  // the identifier in the meter record; empty: the compilation stops
    } const cases[] = {
        {"12345678", "12345678"},
        {"123", "00000123"},
        {"123456789", "23456789"},
        {"0x00BC614E", "12345678"},
        {"1234ABCD", "1234ABCD"},  // as a scan writes what the meter answers
        {"00ab00cd", "00AB00CD"},
        {"1234ABC", ""},
        {"1234ABCDE", ""},
        {"ABCDEFGH", ""},
        {"", ""},
        {"99999999999", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.secondary);
        QByteArray bank2;
        QString error;
        const bool ok = Compile(QByteArray("<M-Bus_Network><Nodo Descrizione=\"Gas\" ID_Primary=\"3\"/>"
                                           "<Nodo Descrizione=\"Heat\" Node_ID_Type=\"1\" ID_Secondary=\"")
                                    + c.secondary + "\">" + Var(10) + "</Nodo></M-Bus_Network>",
                                &bank2, &error);
        if (!*c.bytes) {
            EXPECT_FALSE(ok);
            // The meter is named by its place in the file and its description.
            EXPECT_TRUE(error.contains(QStringLiteral("node 2 \"Heat\": the secondary address \"%1\"")
                                           .arg(QString::fromLatin1(c.secondary))))
                << error.toStdString();
            continue;
        }
        ASSERT_TRUE(ok) << error.toStdString();
        EXPECT_EQ(bank2.mid(13, 1), QByteArray::fromHex("01"));
        EXPECT_EQ(bank2.mid(14, 4), QByteArray::fromHex(c.bytes));
    }

    // A meter the image does not take is not read for its address.
    QByteArray bank2;
    QString error;
    EXPECT_TRUE(Compile("<M-Bus_Network><Nodo Node_ID_Type=\"1\" ID_Secondary=\"XYZ\">" + Var(10, "0")
                            + "</Nodo><Nodo Node_Enable=\"0\" Node_ID_Type=\"1\" ID_Secondary=\"XYZ\">" + Var(10)
                            + "</Nodo></M-Bus_Network>",
                        &bank2, &error))
        << error.toStdString();
}

TEST_F(USaveBinccNetwork, ANetworkWithAClashIsNotCompiled)
{
    struct Case
    {
        const char* why;
        QByteArray network;
        const char* fault;  // a part of the message; empty: compiled
    };
    const Case cases[] = {
        {"two scanned meters with one identification",
         "<Nodo Descrizione=\"A\" Node_ID_Type=\"1\" ID_Secondary=\"1234ABCD\">" + Var(10)
             + "</Nodo><Nodo Descrizione=\"B\" Node_ID_Type=\"1\" ID_Secondary=\"1234abcd\">" + Var(20) + "</Nodo>",
         "same M-Bus address"},
        {"two meters on one primary address",
         "<Nodo ID_Primary=\"4\">" + Var(10) + "</Nodo><Nodo ID_Primary=\"4\">" + Var(20) + "</Nodo>", "same M-Bus address"},
        {"two meters saved from register 1",
         "<Nodo ID_Primary=\"4\">" + Var(1) + "</Nodo><Nodo ID_Primary=\"5\">" + Var(1) + "</Nodo>",
         "ModBus Register 1 is used twice"},
        {"a wired and a wireless value on one position",
         "<Nodo ID_Primary=\"4\">" + Var(30) + "</Nodo><Nodo MBus_Type=\"0\" wMBus_Add=\"7\">" + Var(30) + "</Nodo>",
         "ModBus Register 30 is used twice"},
        // What the image does not hold cannot clash.
        {"a duplicate that is switched off",
         "<Nodo ID_Primary=\"4\">" + Var(10) + "</Nodo><Nodo Node_Enable=\"0\" ID_Primary=\"4\">" + Var(10) + "</Nodo>", ""},
        {"a duplicate without values",
         "<Nodo ID_Primary=\"4\">" + Var(10) + "</Nodo><Nodo ID_Primary=\"4\">" + Var(10, "0") + "</Nodo>", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QByteArray bank2;
        QString error;
        const bool ok = Compile("<M-Bus_Network>" + c.network + "</M-Bus_Network>", &bank2, &error);
        if (!*c.fault) {
            EXPECT_TRUE(ok) << error.toStdString();
            continue;
        }
        EXPECT_FALSE(ok);
        EXPECT_TRUE(error.startsWith("\"M_Bus.xml\": ")) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.fault))) << error.toStdString();
    }

    // Without the wireless line its meters are not in the image.
    ASSERT_TRUE(WriteAll(FileName_ParGen, "<Par_Gen><Meter_Present>1</Meter_Present><Meter_Req_Delay>1</Meter_Req_Delay>"
                                          "</Par_Gen>"));
    QByteArray bank2;
    QString error;
    EXPECT_TRUE(Compile("<M-Bus_Network><Nodo ID_Primary=\"4\">" + Var(30) + "</Nodo><Nodo MBus_Type=\"0\">" + Var(30)
                            + "</Nodo></M-Bus_Network>",
                        &bank2, &error))
        << error.toStdString();
}
