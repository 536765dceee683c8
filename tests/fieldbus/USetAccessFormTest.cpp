// The rule-table engine, once, through a small description of its own: two
// grids on tabs, one with an enable column, defaults and a mandatory
// attribute, a range with and without its bound, a key column ending the rules.
#include "rules/USet_Access_Form.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "widgets/LbButton.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

QString Test_Path;

// Language entries of the description, set by the fixture.
enum : int {
    kCaption = 6280, kTitle, kPrefix, kDelete, kSizeMsg, kPosMsg, kNameMsg, kTabA, kTabB,
    kHeadN, kHeadEnable, kHeadName, kHeadSize, kHeadPos, kHeadNote
};

TRule_Form Test_Form()
{
    TRule_Form f;
    f.name = "FTest_Rules";
    f.root = "Test_Rules";
    f.version = "SW_VERSION = 1.001";
    f.path = &Test_Path;
    f.caption = kCaption;
    f.title = kTitle;
    f.error_prefix = kPrefix;
    f.delete_question = kDelete;
    TRule_Grid a;
    a.name = "ECG_A";
    a.list = "List_A";
    a.tab = kTabA;
    a.rows = 5;
    a.key = 2;
    a.enable = 1;
    a.capacity = 100;
    a.columns = {
        {.header = kHeadN},
        {.attribute = "Enable", .header = kHeadEnable, .editor = edDataCheckBox, .fallback = "Y", .reset = "Y"},
        {.attribute = "Name", .header = kHeadName, .mandatory = true},
        {.attribute = "Size", .header = kHeadSize, .mandatory = true},
        {.attribute = "Position", .header = kHeadPos, .fallback = "0", .fill = TRule_Choices::Positions},
        {.attribute = "Note", .header = kHeadNote},
    };
    a.checks = {
        {.kind = TRule_Check_Kind::Range, .column = 3, .low = 1, .high = 8, .message = kSizeMsg},
        {.kind = TRule_Check_Kind::Range, .column = 4, .low = 0, .high = kRule_Capacity_Last, .message = kPosMsg,
         .bound = true},
    };
    TRule_Grid b;
    b.name = "ECG_B";
    b.list = "List_B";
    b.tab = kTabB;
    b.rows = 3;
    b.key = 1;
    b.columns = {{.header = kHeadN}, {.attribute = "Name", .header = kHeadName, .mandatory = true},
                 {.attribute = "Note", .header = kHeadNote}};
    b.checks = {{.kind = TRule_Check_Kind::Not_Empty, .column = 2, .message = kNameMsg}};
    f.grids = {a, b};
    return f;
}

const TRule_Form& Form()
{
    static const TRule_Form f = Test_Form();
    return f;
}

class Engine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        const char* texts[] = {"Test Rules", "Rules of a test", "Error row ", "Are you sure to delete the Row number ",
                               "!! Size must be between 1 and 8", "!! Position must be between 0 and ",
                               "!! Note must not be empty", "Tab A", "Tab B", "N", "Enable", "Name", "Size",
                               "Position", "Note"};
        for (int i = 0; i < 15; ++i)
            Language_List[kCaption + i] = texts[i];
        Test_Path = dir.filePath("Test_Rules.xml");
        Copy_Row_List.clear();
        w = std::make_unique<TSet_Access_Form>(Form());
    }
    void TearDown() override { w.reset(); Load_English_Table(); }

    std::vector<ShownDialog> Show()
    {
        DialogScript script;
        w->FormShow();
        return script.Shown();
    }
    std::vector<ShownDialog> Ok()
    {
        DialogScript script;
        w->SetModalResult(mrNone);
        w->Btn_OKClick(w->Btn_OK);
        return script.Shown();
    }
    VOruVizizaZezo& A() { return *w->Grids[0]; }
    VOruVizizaZezo& B() { return *w->Grids[1]; }
    QStringList Row(VOruVizizaZezo& g, int r)
    {
        QStringList out;
        for (int c = 0; c < g.ColCount(); ++c)
            out << g.GetCellEx(c, r);
        return out;
    }
    void Put(VOruVizizaZezo& g, int r, const QStringList& cells)
    {
        for (int c = 1; c <= cells.size(); ++c)
            g.SetCellEx(c, r, cells[c - 1]);
    }

    QTemporaryDir dir;
    std::unique_ptr<TSet_Access_Form> w;
};

const QByteArray kTwoRules = "<Test_Rules>\n"
                             "\t<List_A>\n"
                             "\t\t<row Enable=\"Y\" Name=\"first\" Size=\"$8\" Position=\"99\" Note=\"\" />\n"
                             "\t\t<row Enable=\"N\" Name=\"off\" Size=\"abc\" Position=\"\" Note=\"kept as typed\" />\n"
                             "\t</List_A>\n"
                             "\t<List_B>\n"
                             "\t\t<row Name=\"b1\" Note=\"x\" />\n"
                             "\t</List_B>\n"
                             "</Test_Rules>\n"
                             "<!--SW_VERSION = 1.001-->\n";

} // namespace

TEST_F(Engine, TextsAndLayoutFromTheDescription)
{
    EXPECT_EQ(w->Caption(), "Test Rules");
    EXPECT_EQ(w->L_SW_Desc->Caption(), "Rules of a test");
    ASSERT_EQ(w->Tabs.size(), 2u);
    EXPECT_EQ(w->Tabs[1]->Caption(), "Tab B");
    EXPECT_EQ(A().RowCount(), 6);
    EXPECT_EQ(B().RowCount(), 4);
    EXPECT_EQ(A().Columns().GetItem(4)->Header(), "Position");
    // A language change re-texts the window.
    Language_List[kTabB] = "Tab B (fr)";
    w->Set_Lang();
    EXPECT_EQ(w->Tabs[1]->Caption(), "Tab B (fr)");
}

TEST_F(Engine, ShowingResetsNumbersTheRowsAndFillsThePositions)
{
    Show();
    Put(A(), 2, {"N", "typed", "3", "7", "note"});
    Show();  // as after a Cancel: the edits are gone
    EXPECT_EQ(Row(A(), 2), (QStringList{"2", "Y", "", "", "", ""}));
    EXPECT_EQ(Row(B(), 3), (QStringList{"3", "", ""}));
    const QStringList& positions = A().Columns().GetItem(4)->ComboItems();
    ASSERT_EQ(positions.size(), 100);
    EXPECT_EQ(positions.front(), "0");
    EXPECT_EQ(positions.back(), "99");
}

TEST_F(Engine, LoadsDefaultsAndStopsAtAMissingMandatoryAttribute)
{
    // A declaration and a comment before the root: the root is still found.
    ASSERT_TRUE(WriteAll(Test_Path, "<?xml version=\"1.0\"?>\n<!-- kept by hand -->\n<Test_Rules>"
                                    "<List_A><row Name=\"a\" Size=\"1\"/>"
                                    "<!-- a comment is no rule -->"
                                    "<row Enable=\"N\" Name=\"b\"/>"
                                    "<row Name=\"never read\" Size=\"2\"/></List_A>"
                                    "<List_B><row Name=\"not reached\"/></List_B></Test_Rules>"));
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_EQ(shown[0].text, "Could not convert variant of type (Null) into type (OleStr)\nFile \"" + Test_Path
                                 + "\", list \"List_A\", row 2, attribute \"Size\"");
    // Defaults for Enable and Position; Note has no default and reads empty.
    EXPECT_EQ(Row(A(), 1), (QStringList{"1", "Y", "a", "1", "0", ""}));
    // The cut row keeps what was read before the missing Size.
    EXPECT_EQ(Row(A(), 2), (QStringList{"2", "N", "b", "", "", ""}));
    EXPECT_EQ(Row(A(), 3), (QStringList{"3", "Y", "", "", "", ""}));
    EXPECT_EQ(Row(B(), 1), (QStringList{"1", "", ""}));
}

TEST_F(Engine, MissingListReadsAsEmpty)
{
    ASSERT_TRUE(WriteAll(Test_Path, "<Test_Rules><List_B><row Name=\"b\" Note=\"\"/></List_B></Test_Rules>"));
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(A(), 1), (QStringList{"1", "Y", "", "", "", ""}));
    EXPECT_EQ(Row(B(), 1), (QStringList{"1", "b", ""}));
}

TEST_F(Engine, BrokenFileIsReportedAndTheGridsStayReset)
{
    ASSERT_TRUE(WriteAll(Test_Path, "<Test_Rules><List_A><row"));
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Error);
    EXPECT_FALSE(shown[0].text.isEmpty());
    EXPECT_EQ(Row(A(), 1), (QStringList{"1", "Y", "", "", "", ""}));
}

TEST_F(Engine, ValidationMessagesWithAndWithoutTheBound)
{
    struct Case
    {
        QStringList a1, a2;
        QString b1;
        const char* b2;
        const char* message;  // empty: passes
        const char* why;
    } cases[] = {
        {{"Y", "r", "8", "99"}, {}, "b", "x", "", "bounds pass"},
        {{"Y", "r", "9", "0"}, {}, "b", "x", "Error row 1!! Size must be between 1 and 8", "closed message, no bound"},
        {{"Y", "r", "1", "100"}, {}, "b", "x", "Error row 1!! Position must be between 0 and 99",
         "open message, bound appended"},
        {{"Y", "r", "1", "0"}, {"y", "r", "0", "0"}, "b", "x", "", "only \"Y\" enables: \"y\" is skipped"},
        {{"N", "r", "x", "x"}, {"Y", "s", "", "0"}, "b", "x", "Error row 2!! Size must be between 1 and 8",
         "a disabled row passes, the next is checked"},
        {{"Y", "", "x", "x"}, {"Y", "r", "x", "x"}, "b", "x", "", "rules end at the first blank key"},
        {{"Y", "r", "1", "0"}, {}, "b", " ", "Error row 1!! Note must not be empty", "the second grid is checked"},
        {{"Y", "r", "1", "0"}, {}, "  ", "", "", "grid B ends at once"},
    };
    for (const Case& c : cases) {
        Show();
        Put(A(), 1, c.a1);
        if (!c.a2.isEmpty())
            Put(A(), 2, c.a2);
        B().SetCellEx(1, 1, c.b1);
        B().SetCellEx(2, 1, c.b2);
        DialogScript script;
        const bool ok = w->Controllo_dati();
        EXPECT_EQ(ok, QString(c.message).isEmpty()) << c.why;
        if (!ok) {
            ASSERT_EQ(script.Shown().size(), 1u) << c.why;
            EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
            EXPECT_EQ(script.Shown()[0].text, QString(c.message)) << c.why;
        }
    }
}

TEST_F(Engine, SavesByteForByteAndReadsItBack)
{
    Show();
    Put(A(), 1, {"Y", "first", "$8", "99", ""});
    Put(A(), 2, {"N", "off", "abc", "", "kept as typed"});
    Put(A(), 4, {"Y", "below the blank key", "1", "0", ""});
    Put(B(), 1, {"b1", "x"});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(w->ModalResult(), mrOk);
    EXPECT_EQ(ReadAll(Test_Path), kTwoRules);

    Show();
    EXPECT_EQ(Row(A(), 2), (QStringList{"2", "N", "off", "abc", "", "kept as typed"}));
    EXPECT_EQ(Row(A(), 4), (QStringList{"4", "Y", "", "", "", ""}));
    Ok();
    EXPECT_EQ(ReadAll(Test_Path), kTwoRules);
}

TEST_F(Engine, AFailedCheckSavesNothing)
{
    ASSERT_TRUE(WriteAll(Test_Path, kTwoRules));
    Show();
    A().SetCellEx(3, 1, "0");
    const auto shown = Ok();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error row 1!! Size must be between 1 and 8");
    EXPECT_EQ(w->ModalResult(), mrNone);
    EXPECT_EQ(ReadAll(Test_Path), kTwoRules);
}

TEST_F(Engine, OversizedFileLoadsWhatFitsAndWarns)
{
    QByteArray xml = "<Test_Rules><List_A>";
    for (int i = 1; i <= 9; ++i)
        xml += "<row Name=\"r" + QByteArray::number(i) + "\" Size=\"1\"/>";
    xml += "</List_A><List_B/></Test_Rules>";
    ASSERT_TRUE(WriteAll(Test_Path, xml));
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, MessageKind::Warning);
    EXPECT_TRUE(shown[0].text.contains("holds 9 rules, but the table holds 5")) << shown[0].text.toStdString();
    EXPECT_EQ(A().GetCellEx(2, 5), "r5");
    EXPECT_EQ(w->Not_Shown(0), 4);

    TRule_File file;
    ASSERT_EQ(Load_Rule_File(Form(), Test_Path, {5, 3}, &file), TRule_Load::Loaded);
    EXPECT_EQ(file.grids[0].size(), 5u);
    EXPECT_EQ(file.not_shown[0], 4);
}

TEST_F(Engine, RowButtonsActOnTheActiveGrid)
{
    Show();
    Put(A(), 1, {"Y", "one", "1", "0", ""});
    Put(A(), 2, {"N", "two", "2", "0", ""});
    A().SetRow(1);
    {
        DialogScript script;
        script.AnswerMessage(MessageAnswer::Yes);
        w->Btn_DelRowClick(w->Btn_DelRow);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, "Are you sure to delete the Row number 1");
    }
    EXPECT_EQ(Row(A(), 1), (QStringList{"1", "N", "two", "2", "0", ""}));
    w->Btn_InsRowClick(w->Btn_InsRow);
    EXPECT_EQ(Row(A(), 1), (QStringList{"1", "Y", "", "", "", ""}));
    EXPECT_EQ(Row(A(), 2), (QStringList{"2", "N", "two", "2", "0", ""}));

    // Insert refuses while the last row is in use.
    Put(A(), 5, {"Y", "last", "1", "0", ""});
    {
        DialogScript script;
        w->Btn_InsRowClick(w->Btn_InsRow);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
    }
    EXPECT_EQ(A().GetCellEx(2, 5), "last");

    // Copy on grid A, paste on grid B: B has no copy of its own.
    A().SetRow(2);
    w->Btn_CopyRowClick(w->Btn_CopyRow);
    w->Page_Control->SetActivePage(w->Tabs[1]);
    {
        DialogScript script;
        w->Btn_PasteRowClick(w->Btn_PasteRow);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, Language_List.value(1102));
    }
    w->Page_Control->SetActivePage(w->Tabs[0]);
    A().SetRow(3);
    w->Btn_PasteRowClick(w->Btn_PasteRow);
    EXPECT_EQ(Row(A(), 3), (QStringList{"3", "N", "two", "2", "0", ""}));
    // A new showing forgets the copy.
    Show();
    DialogScript script;
    w->Btn_PasteRowClick(w->Btn_PasteRow);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, Language_List.value(1102));
}

TEST_F(Engine, HeaderHintsAndEnter)
{
    Language_List[kHeadSize] = "Size";
    QString hint = "stale";
    w->GridHint(&A(), 1, 2, hint);
    EXPECT_TRUE(hint.isEmpty());
    Enable_Jump_Field_Tables = true;
    Show();
    A().SetCol(5);
    A().SetRow(1);
    QChar key = QChar(13);
    w->KeyPress(&A(), key);
    EXPECT_EQ(key, QChar(0));
    EXPECT_EQ(A().Col(), 1);
    EXPECT_EQ(A().Row(), 2);
    Enable_Jump_Field_Tables = false;
}
