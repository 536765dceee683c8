// DMX default values: its check, its file, and its own hook, the channel
// count from "ParGen.xml".
#include "fieldbus/UDMXDefVal.h"

#include "RuleMemberTest.h"

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using DMX = Member<TFDMXDefVal>;

namespace {

QByteArray ParGen(const QByteArray& channels)
{
    return "<Par_Gen>\n\t<DMX_Num_Channels>" + channels + "</DMX_Num_Channels>\n</Par_Gen>\n";
}

} // namespace

TEST_F(DMX, Checks)
{
    const char* const bad = "Error row 1!! Default Value must be between 0 and 255";
    Run_Checks({
        {0, {"0", ""}, "", "lower bound"},
        {0, {"255", "x"}, "", "upper bound"},
        {0, {"$FF", ""}, "", "hexadecimal 255"},
        {0, {"256", ""}, bad, "above"},
        {0, {"-1", ""}, bad, "below"},
        {0, {"", "named"}, bad, "an emptied cell"},
    });
}

TEST_F(DMX, SavesEveryChannelByteForByte)
{
    ASSERT_TRUE(WriteAll(FileName_ParGen, ParGen("3")));
    Show();
    Put(*w->ECG_DMX_Def_Val, 1, {"12", "Dimmer"});
    Put(*w->ECG_DMX_Def_Val, 3, {"$FF", ""});
    EXPECT_TRUE(Ok().empty());
    const QByteArray expected = "<DMX_Default_Values>\n"
                                "\t<Row Default_Value=\"12\" Mnemonic=\"Dimmer\" />\n"
                                "\t<Row Default_Value=\"0\" Mnemonic=\"\" />\n"
                                "\t<Row Default_Value=\"$FF\" Mnemonic=\"\" />\n"
                                "</DMX_Default_Values>\n"
                                "<!--SW_VERSION = 1.000-->\n";
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    EXPECT_EQ(Row(*w->ECG_DMX_Def_Val, 3), (QStringList{"3", "$FF", ""}));
    Ok();
    EXPECT_EQ(ReadAll(File()), expected);
}

TEST_F(DMX, ChannelCountFromTheConfiguration)
{
    struct Case
    {
        const char* parGen;  // nullptr: no file
        int channels;
        const char* why;
    } cases[] = {
        {nullptr, 512, "no ParGen.xml"},
        {"<Par_Gen/>", 512, "no element"},
        {"<Par_Gen><DMX_Num_Channels>abc</DMX_Num_Channels></Par_Gen>", 512, "not a number"},
        {"<Par_Gen><DMX_Num_Channels>24</DMX_Num_Channels></Par_Gen>", 24, "as configured"},
        {"<Par_Gen><DMX_Num_Channels>0</DMX_Num_Channels></Par_Gen>", 1, "below 1: one channel"},
        {"<Par_Gen><DMX_Num_Channels>-5</DMX_Num_Channels></Par_Gen>", 1, "negative: one channel"},
        {"<Par_Gen><DMX_Num_Channels>100000</DMX_Num_Channels></Par_Gen>", 512, "huge: 512"},
    };
    for (const Case& c : cases) {
        QFile::remove(FileName_ParGen);
        if (c.parGen) {
            ASSERT_TRUE(WriteAll(FileName_ParGen, c.parGen));
        }
        Show();
        EXPECT_EQ(w->ECG_DMX_Def_Val->RowCount(), c.channels + 1) << c.why;
        EXPECT_EQ(w->ECG_DMX_Def_Val->GetCellEx(1, c.channels), "0") << c.why;
    }
}

TEST_F(DMX, FewerChannelsThanTheFileCutsIt)
{
    QByteArray rows;
    for (int i = 0; i < 512; ++i)
        rows += "<Row Default_Value=\"" + QByteArray::number(i % 256) + "\" Mnemonic=\"\"/>";
    ASSERT_TRUE(WriteAll(File(), "<DMX_Default_Values>" + rows + "</DMX_Default_Values>"));
    ASSERT_TRUE(WriteAll(FileName_ParGen, ParGen("24")));
    const auto shown = Show();
    // The file's rows beyond the channels are told about, not shown.
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(w->ECG_DMX_Def_Val->GetCellEx(1, 24), "23");
    // OK asks before it drops them: No keeps the file, Yes cuts it.
    const auto asked = Ok();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, platform::MessageKind::Confirmation);
    EXPECT_EQ(ReadAll(File()).count("<Row "), 512);
    platform::DialogScript yes;
    yes.AnswerMessage(platform::MessageAnswer::Yes);
    w->Btn_OKClick(w->Btn_OK);
    EXPECT_EQ(ReadAll(File()).count("<Row "), 24);
}

TEST_F(DMX, BrokenParGenStopsTheShowing)
{
    ASSERT_TRUE(WriteAll(FileName_ParGen, "<Par_Gen><DMX_Num"));
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(w->ECG_DMX_Def_Val->RowCount(), 513);
}
