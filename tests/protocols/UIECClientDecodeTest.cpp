// The SCL reader: hand-made files, one construct each, checked through the
// references the client window copies into its rows.
#include "protocols/UIEC_Client_Decode.h"

#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Types shared by the files below: a measured value with a nested float, a
// three-phase value with sub data objects, an enumerated behaviour.
const char* const kTemplates = R"(
  <DataTypeTemplates>
    <LNodeType id="MMXU_T" lnClass="MMXU">
      <DO name="TotW" type="MV_T"/>
      <DO name="PhV" type="WYE_T"/>
      <DO name="Beh" type="ENS_T"/>
    </LNodeType>
    <LNodeType id="LLN0_T" lnClass="LLN0">
      <DO name="Mod" type="ENS_T"/>
    </LNodeType>
    <DOType id="MV_T" cdc="MV">
      <DA name="mag" bType="Struct" type="AV_T" fc="MX"/>
      <DA name="q" bType="Quality" fc="MX"/>
      <DA name="units" bType="Struct" type="Unit_T" fc="CF"/>
      <DA name="loose" bType="BOOLEAN"/>
    </DOType>
    <DOType id="WYE_T" cdc="WYE">
      <SDO name="phsA" type="CMV_T"/>
      <!-- a comment between children -->
      <SDO name="phsB" type="CMV_T"/>
    </DOType>
    <DOType id="CMV_T" cdc="CMV">
      <DA name="cVal" bType="Struct" type="Vec_T" fc="MX"/>
    </DOType>
    <DOType id="ENS_T" cdc="ENS">
      <DA name="stVal" bType="Enum" type="Beh_E" fc="ST"/>
    </DOType>
    <DAType id="AV_T"><BDA name="f" bType="FLOAT32"/><BDA name="i" bType="INT32"/></DAType>
    <DAType id="Vec_T"><BDA name="mag" bType="Struct" type="AV_T"/></DAType>
    <DAType id="Unit_T"><BDA name="SIUnit" bType="Enum" type="SI_E"/></DAType>
    <DAType id="Beh_E"><BDA name="never" bType="INT8"/></DAType>
  </DataTypeTemplates>)";

QByteArray Scl(const QString& ieds, const char* templates = kTemplates)
{
    return ("<?xml version=\"1.0\"?>\n<SCL xmlns=\"http://www.iec.ch/61850/2003/SCL\">" + ieds + templates + "</SCL>")
        .toUtf8();
}

QString Ied(const QString& name, const QString& devices)
{
    return "<IED name=\"" + name + "\"><AccessPoint name=\"AP1\"><Server>" + devices + "</Server></AccessPoint></IED>";
}

// LD0: LLN0 with two data sets and their GOOSE blocks, MMXU1, QMMXU2.
QString Ld0(const QString& fcdas, const QString& gse = "<GSEControl name=\"gcb1\" datSet=\"Measures\"/>")
{
    return "<LDevice inst=\"LD0\">"
           "<LN0 lnClass=\"LLN0\" lnType=\"LLN0_T\" inst=\"\">"
           "<DataSet name=\"Measures\">" + fcdas + "</DataSet><DataSet name=\"Other\"/>" + gse + "</LN0>"
           "<LN lnClass=\"MMXU\" lnType=\"MMXU_T\" inst=\"1\"/>"
           "<LN lnClass=\"MMXU\" lnType=\"MMXU_T\" prefix=\"Q\" inst=\"2\"/>"
           "</LDevice>";
}

std::unique_ptr<TIEC_Device> Parse(const QByteArray& bytes)
{
    QString error;
    auto device = TIEC_Device::Create_From_Bytes(bytes, "station.icd", &error);
    EXPECT_TRUE(device) << error.toStdString();
    return device;
}

// Every attribute reference below a data object, depth first, "ref|fc|bType".
void Collect(const TIEC_DA& da, QStringList& out)
{
    out << da.fReference + "|" + da.fFC + "|" + da.fbType;
    for (const auto& inner : da.List_DA)
        Collect(*inner, out);
}
void Collect(const TIEC_DO& object, QStringList& out)
{
    for (const auto& da : object.List_DA)
        Collect(*da, out);
    for (const auto& sdo : object.List_DO)
        Collect(*sdo, out);
}

} // namespace

TEST(SclModel, LogicalDevicesNodesObjectsAndAttributes)
{
    const auto device = Parse(Scl(Ied("IED1", Ld0("")) + Ied("IED2", "<LDevice inst=\"Other\"/>")));
    ASSERT_TRUE(device);
    EXPECT_EQ(device->fName, "IED1");
    EXPECT_EQ(device->fFileName, "station.icd");
    ASSERT_EQ(device->List_LDevice.size(), 1u) << "only the first IED is read";
    const TIEC_LDevice& ld = *device->List_LDevice[0];
    EXPECT_EQ(ld.fName, "LD0");
    ASSERT_EQ(ld.List_LN.size(), 3u);
    const TIEC_LN& mmxu = *ld.List_LN[1];
    EXPECT_EQ(mmxu.flnClass, "MMXU");
    EXPECT_EQ(mmxu.flnType, "MMXU_T");
    EXPECT_EQ(mmxu.fInst, "1");
    ASSERT_EQ(mmxu.List_DO.size(), 3u);

    QStringList refs;
    Collect(*mmxu.List_DO[0], refs);
    EXPECT_EQ(refs, QStringList({"IED1LD0/MMXU1.TotW.mag|MX|Struct", "IED1LD0/MMXU1.TotW.mag.f|MX|FLOAT32",
                                 "IED1LD0/MMXU1.TotW.mag.i|MX|INT32", "IED1LD0/MMXU1.TotW.q|MX|Quality",
                                 "IED1LD0/MMXU1.TotW.units|CF|Struct", "IED1LD0/MMXU1.TotW.units.SIUnit|CF|Enum",
                                 "IED1LD0/MMXU1.TotW.loose||BOOLEAN"}));
    refs.clear();
    Collect(*mmxu.List_DO[1], refs);
    EXPECT_EQ(refs.first(), "IED1LD0/MMXU1.PhV.phsA.cVal|MX|Struct");
    EXPECT_TRUE(refs.contains("IED1LD0/MMXU1.PhV.phsB.cVal.mag.f|MX|FLOAT32"));
    refs.clear();
    Collect(*mmxu.List_DO[2], refs);
    EXPECT_EQ(refs, QStringList({"IED1LD0/MMXU1.Beh.stVal|ST|Enum"})) << "an Enum's type is not expanded";

    QStringList prefixed;
    Collect(*ld.List_LN[2]->List_DO[0], prefixed);
    EXPECT_EQ(prefixed.first(), "IED1LD0/QMMXU2.TotW.mag|MX|Struct");

    // The lookups the client window uses.
    EXPECT_EQ(ld.Find_LN("MMXU"), &mmxu);
    EXPECT_EQ(mmxu.Find_DO("phsB"), mmxu.List_DO[1]->List_DO[1].get());
    EXPECT_EQ(mmxu.List_DO[0]->Find_DA("f")->fReference, "IED1LD0/MMXU1.TotW.mag.f");
    EXPECT_EQ(mmxu.List_DO[0]->Find_First_DA()->fReference, "IED1LD0/MMXU1.TotW.mag.f");
    EXPECT_EQ(mmxu.List_DO[2]->Find_First_DA()->fReference, "IED1LD0/MMXU1.Beh.stVal");
    EXPECT_EQ(mmxu.List_DO[2]->List_DA[0]->Find_First_DA(), nullptr);
}

TEST(SclModel, FilesWithPartsMissing)
{
    struct Case
    {
        QByteArray file;
        QString name;
        size_t devices;
        const char* why;
    };
    const std::vector<Case> cases = {
        {Scl(Ied("IED1", Ld0("")), ""), "", 0, "no type templates"},
        {Scl("<IED name=\"Bare\"/>"), "Bare", 0, "no access point"},
        {Scl("<IED name=\"NoServer\"><AccessPoint name=\"AP\"/></IED>"), "NoServer", 0, "no server"},
        {"<Other><IED name=\"X\"/></Other>", "", 0, "not an SCL file"},
        {Scl(""), "", 0, "no IED"},
    };
    for (const Case& c : cases) {
        const auto device = Parse(c.file);
        ASSERT_TRUE(device) << c.why;
        EXPECT_EQ(device->fName, c.name) << c.why;
        EXPECT_EQ(device->List_LDevice.size(), c.devices) << c.why;
    }

    // A node without a type has neither objects nor data sets.
    const auto device = Parse(Scl(Ied("IED1", "<LDevice inst=\"A\"><LN0 lnClass=\"LLN0\" inst=\"\">"
                                              "<DataSet name=\"D\"/></LN0></LDevice>")));
    ASSERT_TRUE(device && device->List_LDevice.size() == 1);
    const TIEC_LN& ln = *device->List_LDevice[0]->List_LN[0];
    EXPECT_TRUE(ln.List_DO.empty());
    EXPECT_TRUE(ln.List_DataSet.empty());
}

TEST(SclModel, DamagedAndMissingFiles)
{
    QString error;
    EXPECT_FALSE(TIEC_Device::Create_From_Bytes("<SCL><IED name=\"a\"></SCL>", "x.cid", &error));
    EXPECT_FALSE(error.isEmpty());

    QTemporaryDir dir;
    const QString damaged = dir.filePath("bad.scd");
    ASSERT_TRUE(testsupport::WriteAll(damaged, "<SCL><IED"));
    error.clear();
    EXPECT_FALSE(TIEC_Device::Create(damaged, &error));
    EXPECT_FALSE(error.isEmpty());

    const auto missing = TIEC_Device::Create(dir.filePath("none.icd"), &error);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->fFileName, "none.icd");
    EXPECT_TRUE(missing->fName.isEmpty());
    EXPECT_TRUE(missing->List_LDevice.empty());

    const QString good = dir.filePath("good.cid");
    ASSERT_TRUE(testsupport::WriteAll(good, Scl(Ied("IED1", Ld0("")))));
    const auto read = TIEC_Device::Create(good, &error);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->fFileName, "good.cid");
    EXPECT_EQ(read->List_LDevice.size(), 1u);
}

// Data-set members are found the way the file names them: the node by its
// class, prefix and instance, objects and attributes by dotted paths, and
// only attributes of the named functional constraint.
TEST(SclModel, DataSetMembersResolveAsTheFileNamesThem)
{
    struct Case
    {
        QString fcda;
        QString reference;  // empty: the member is dropped
        const char* why;
    };
    const std::vector<Case> cases = {
        {R"(ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" daName="mag" fc="MX")", "IED1LD0/MMXU1.TotW.mag",
         "attribute"},
        {R"(ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" daName="mag.f" fc="MX")",
         "IED1LD0/MMXU1.TotW.mag.f", "dotted attribute"},
        {R"(ldInst="LD0" prefix="Q" lnClass="MMXU" lnInst="2" doName="TotW" daName="mag" fc="MX")",
         "IED1LD0/QMMXU2.TotW.mag", "the prefixed node, not the first of its class"},
        {R"(ldInst="LD0" lnClass="MMXU" lnInst="1" doName="PhV.phsB" daName="cVal.mag.f" fc="MX")",
         "IED1LD0/MMXU1.PhV.phsB.cVal.mag.f", "sub data object path"},
        {R"(ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" fc="MX")", "IED1LD0/MMXU1.TotW.mag.f",
         "no attribute: the first leaf of the constraint"},
        {R"(ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" fc="CF")", "IED1LD0/MMXU1.TotW.units.SIUnit",
         "no attribute, another constraint"},
        {R"(ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" daName="mag" fc="ST")", "", "constraint differs"},
        {R"(ldInst="LD0" lnClass="MMXU" lnInst="3" doName="TotW" daName="mag" fc="MX")", "", "no such instance"},
        {R"(ldInst="LD0" lnClass="MMXU" doName="TotW" daName="mag" fc="MX")", "", "instance missing"},
        {R"(ldInst="LD0" lnClass="MMXU" lnInst="1" doName="phsA" daName="cVal" fc="MX")", "",
         "a sub data object is not a data object of the node"},
        {R"(ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" daName="mag.g" fc="MX")", "", "no such leaf"},
        {R"(ldInst="LD9" lnClass="MMXU" lnInst="1" doName="TotW" daName="mag" fc="MX")", "", "no such device"},
        {R"(lnClass="MMXU" lnInst="1" doName="TotW")", "", "no device named"},
        {R"(ldInst="LD0" lnClass="LLN0" doName="Mod" daName="stVal" fc="ST")", "IED1LD0/LLN0.Mod.stVal",
         "the node zero"},
    };
    for (const Case& c : cases) {
        const auto device = Parse(Scl(Ied("IED1", Ld0("<FCDA " + c.fcda + "/>"))));
        ASSERT_TRUE(device && !device->List_LDevice.empty()) << c.why;
        const TIEC_LN& lln0 = *device->List_LDevice[0]->List_LN[0];
        ASSERT_EQ(lln0.List_DataSet.size(), 2u) << c.why;
        const TIEC_DataSet& set = *lln0.List_DataSet[0];
        if (c.reference.isEmpty()) {
            EXPECT_TRUE(set.List_DA.empty()) << c.why;
            continue;
        }
        ASSERT_EQ(set.List_DA.size(), 1u) << c.why;
        EXPECT_EQ(set.List_DA[0]->fReference, c.reference) << c.why;
    }
}

TEST(SclModel, DataSetsAndTheirGooseBlocks)
{
    const QString fcdas = R"(<FCDA ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" daName="mag" fc="MX"/>)"
                          R"(<FCDA ldInst="LD1" lnClass="GGIO" lnInst="1" doName="Ind" daName="stVal" fc="ST"/>)"
                          R"(<FCDA ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" daName="mag" fc="MX"/>)";
    // A second logical device after the data set that points into it.
    const QString ld1 = "<LDevice inst=\"LD1\"><LN lnClass=\"GGIO\" lnType=\"GGIO_T\" inst=\"1\">"
                        "<DataSet name=\"Local\"/><GSEControl name=\"elsewhere\" datSet=\"Measures\"/></LN></LDevice>";
    QByteArray templates = kTemplates;
    templates.replace("</DataTypeTemplates>", "<LNodeType id=\"GGIO_T\" lnClass=\"GGIO\"><DO name=\"Ind\" "
                                              "type=\"SPS_T\"/></LNodeType><DOType id=\"SPS_T\"><DA name=\"stVal\" "
                                              "bType=\"BOOLEAN\" fc=\"ST\"/></DOType></DataTypeTemplates>");
    const auto device = Parse(Scl(Ied("IED1", Ld0(fcdas, "<GSEControl name=\"gcb1\" datSet=\"Measures\"/>"
                                                         "<GSEControl name=\"nothing\" datSet=\"Absent\"/>"
                                                         "<GSEControl datSet=\"Other\"/>") + ld1),
                                  templates.constData()));
    ASSERT_TRUE(device && device->List_LDevice.size() == 2);
    const TIEC_LN& lln0 = *device->List_LDevice[0]->List_LN[0];
    ASSERT_EQ(lln0.List_DataSet.size(), 2u);
    const TIEC_DataSet& measures = *lln0.List_DataSet[0];
    EXPECT_EQ(measures.fName, "Measures");
    EXPECT_EQ(measures.fReference, "IED1LD0/LLN0.Measures");
    EXPECT_EQ(measures.fGooseName, "gcb1");
    ASSERT_EQ(measures.List_DA.size(), 3u);
    EXPECT_EQ(measures.List_DA[1]->fReference, "IED1LD1/GGIO1.Ind.stVal") << "a member in a later device";
    EXPECT_EQ(measures.List_DA[0], measures.List_DA[2]) << "the same attribute twice, one object";
    EXPECT_TRUE(lln0.List_DataSet[1]->fGooseName.isEmpty()) << "a block without a name sets nothing";

    const TIEC_LN& ggio = *device->List_LDevice[1]->List_LN[0];
    ASSERT_EQ(ggio.List_DataSet.size(), 1u);
    EXPECT_EQ(ggio.List_DataSet[0]->fReference, "IED1LD1/GGIO1.Local");
    EXPECT_TRUE(ggio.List_DataSet[0]->fGooseName.isEmpty());
    EXPECT_EQ(measures.fGooseName, "gcb1") << "a block of another node names another data set";
}

// Types that refer back to themselves, and types that share sub-types so
// that a short file describes a huge tree: the reading ends, what can be
// read is there, and the cut is noted.
TEST(SclModel, CyclicAndExplodingTypesAreCut)
{
    const char* cyclic = R"(<DataTypeTemplates>
        <LNodeType id="L"><DO name="Loop" type="D1"/><DO name="Plain" type="D3"/></LNodeType>
        <DOType id="D1"><SDO name="down" type="D2"/><DA name="a" bType="Struct" type="A1" fc="ST"/></DOType>
        <DOType id="D2"><SDO name="back" type="D1"/></DOType>
        <DOType id="D3"><DA name="v" bType="INT32" fc="MX"/></DOType>
        <DAType id="A1"><BDA name="self" bType="Struct" type="A1"/><BDA name="x" bType="INT8"/></DAType>
      </DataTypeTemplates>)";
    const QString ld = "<LDevice inst=\"LD\"><LN lnClass=\"GGIO\" lnType=\"L\" inst=\"1\"/></LDevice>";
    auto device = Parse(Scl(Ied("I", ld), cyclic));
    ASSERT_TRUE(device && device->List_LDevice.size() == 1);
    EXPECT_TRUE(device->fTypes_Cut);
    const TIEC_LN& ln = *device->List_LDevice[0]->List_LN[0];
    ASSERT_EQ(ln.List_DO.size(), 2u);
    const TIEC_DO& loop = *ln.List_DO[0];
    ASSERT_EQ(loop.List_DO.size(), 1u);
    ASSERT_EQ(loop.List_DO[0]->List_DO.size(), 1u);
    EXPECT_TRUE(loop.List_DO[0]->List_DO[0]->List_DO.empty()) << "D1 inside D1 is not expanded";
    ASSERT_EQ(loop.List_DA.size(), 1u);
    ASSERT_EQ(loop.List_DA[0]->List_DA.size(), 2u);
    EXPECT_TRUE(loop.List_DA[0]->List_DA[0]->List_DA.empty()) << "A1 inside A1 is not expanded";
    EXPECT_EQ(ln.List_DO[1]->List_DA[0]->fReference, "ILD/GGIO1.Plain.v");

    // Thirty levels of two branches each.
    QString exploding = "<DataTypeTemplates><LNodeType id=\"L\"><DO name=\"Big\" type=\"D\"/></LNodeType>"
                        "<DOType id=\"D\"><DA name=\"t\" bType=\"Struct\" type=\"T0\" fc=\"MX\"/></DOType>";
    for (int i = 0; i < 30; ++i)
        exploding += QString("<DAType id=\"T%1\"><BDA name=\"l\" bType=\"Struct\" type=\"T%2\"/>"
                             "<BDA name=\"r\" bType=\"Struct\" type=\"T%2\"/></DAType>")
                         .arg(i)
                         .arg(i + 1);
    exploding += "</DataTypeTemplates>";
    device = Parse(Scl(Ied("I", ld), exploding.toUtf8().constData()));
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->fTypes_Cut);
    EXPECT_EQ(device->List_LDevice[0]->List_LN[0]->List_DO[0]->fName, "Big");
}
