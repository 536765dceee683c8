// The update job for the newer boot loader's memory layout, and the device
// type query; nothing in this program calls them.
#include "configuration/UBoot.h"

#include "shell/UComon.h"

#include "platform/XmlDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// The elements of one operation, in order, as "name=text".
QStringList Operation_Texts(const XmlNode& operation)
{
    QStringList out;
    for (const XmlNode& e : operation.Children())
        out << e.Name() + u'=' + e.Text();
    return out;
}

} // namespace

TEST(BootNewBoot, JobForTheNewerMemoryLayout)
{
    XmlDocument doc;
    const QString master = QDir::cleanPath("/m/MASTER"), project = QDir::cleanPath("/p/Conf");
    Build_Ethernet_Update_Job_New_Boot(doc, "10.0.0.7", uoFirmware_Configuration, true, master, project);
    const XmlNode root = doc.DocumentElement();
    ASSERT_EQ(root.Name(), "Ethernet_Update");
    QStringList head;
    for (const XmlNode& e : root.Children())
        head << e.Name() + u'=' + (e.Name() == "Protections" || e.Name() == "Operations" ? QString() : e.Text());
    EXPECT_EQ(head, QStringList({"Version=1000", "Title=Rizova - Ethernet Update", "IP_Address_Dev=10.0.0.7",
                                 "Application_Port=10000", "Boot_Port=2008", "Boot_Port_Sec=2007",
                                 "Address_Protection=0x07800", "Protections=", "Operations="}));
    const std::vector<XmlNode> protections = root.FindChild("Protections").Children();
    ASSERT_EQ(protections.size(), 1u);
    EXPECT_EQ(protections[0].Text(), "0x2C8");

    const std::vector<XmlNode> ops = root.FindChild("Operations").Children();
    ASSERT_EQ(ops.size(), 3u);
    auto operation = [](const QString& file, const char* start, const char* bank, const char* css, const char* wid,
                        const char* app) {
        return QStringList{"Ope_Protection_Enabled=", "Ope_GoToBoot_Before=0", "Ope_GoToApp_Before=0",
                           "Ope_IP_Address=", "Ope_Port=2008", "Ope_Port_Sec=2007", "Ope_Erase_Memory=0",
                           "Ope_FileName=" + file, QString("Ope_Start_Address=") + start, "Ope_Memory_Type=0",
                           QString("Ope_Bank_Type=") + bank, "Ope_Read_Back=1", QString("Ope_Write_CSS=") + css,
                           "Ope_Address_CSS=0x07A00", "Ope_Command_CSS=0x02",
                           QString("Ope_Write_Internal_Data=") + wid, "Ope_WID_Address=0x07810",
                           "Ope_WID_Command=0x02", "Ope_WID_Data=0x00, 0x00, 0x00, 0x01",
                           QString("Ope_GoToApp_After=") + app};
    };
    // The firmware carries the internal-data elements too, without writing them.
    EXPECT_EQ(Operation_Texts(ops[0]), operation(master + "/SimX5K02.sim", "0x8000", "1", "1", "0", "0"));
    EXPECT_EQ(Operation_Texts(ops[1]), operation(project + "/bin/bank1.bin", "0x07000", "2", "0", "1", "0"));
    EXPECT_EQ(Operation_Texts(ops[2]), operation(project + "/bin/bank2.bin", "0x80000", "2", "0", "0", "1"));

    // The options pick the operations as for this converter's job.
    struct Case
    {
        int option;
        std::vector<const char*> starts;
    };
    const Case cases[] = {{uoFirmware, {"0x8000"}}, {uoConfiguration, {"0x07000", "0x80000"}}, {-1, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        Build_Ethernet_Update_Job_New_Boot(doc, "10.0.0.7", c.option, false, master, project);
        const std::vector<XmlNode> got = doc.DocumentElement().FindChild("Operations").Children();
        ASSERT_EQ(got.size(), c.starts.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].FindChild("Ope_Start_Address").Text(), c.starts[i]);
            EXPECT_EQ(got[i].FindChild("Ope_Read_Back").Text(), "0");
        }
        if (!got.empty()) {
            EXPECT_EQ(got.back().FindChild("Ope_GoToApp_After").Text(), "1");
        }
    }
}

TEST(BootNewBoot, WindowWritesTheJobBesideTheProgramAndKnowsOneDeviceType)
{
    QTemporaryDir dir;
    const QString old_program = Program_Folder, old_pargen = FileName_ParGen;
    Program_Folder = dir.path();
    TFBoot w;
    ASSERT_TRUE(w.Compile_XML_Parameter_New_Boot());
    XmlDocument job;
    ASSERT_TRUE(job.Load(dir.filePath("Ethernet_Update.xml")));
    EXPECT_EQ(job.DocumentElement().FindChild("Title").Text(), "Rizova - Ethernet Update");

    // With or without (even a damaged) "ParGen.xml", the type is 0.
    FileName_ParGen = dir.filePath("ParGen.xml");
    EXPECT_EQ(w.Get_Type_Dev(), 0);
    QFile f(FileName_ParGen);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<Par_Gen><LoRa_RF_Band>EU868");
    f.close();
    EXPECT_EQ(w.Get_Type_Dev(), 0);
    EXPECT_TRUE(QFile::exists(FileName_ParGen)) << "only read";
    Program_Folder = old_program;
    FileName_ParGen = old_pargen;
}
