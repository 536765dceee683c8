#include "platform/FileSystem.h"
#include "platform/Regional.h"
#include "platform/TextCodec.h"
#include "platform/Unsupported.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace platform;

namespace {

QByteArray Utf16(const QString& text, bool littleEndian)
{
    QByteArray out(littleEndian ? "\xFF\xFE" : "\xFE\xFF");
    for (const QChar c : text) {
        const char lo = static_cast<char>(c.unicode() & 0xFF);
        const char hi = static_cast<char>(c.unicode() >> 8);
        out.append(littleEndian ? lo : hi);
        out.append(littleEndian ? hi : lo);
    }
    return out;
}

} // namespace

TEST(TextFiles, ReadsEachEncodingByItsMark)
{
    const QString text = QString::fromUtf8("STR12 = \xC2\xB6 Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC\xC2\xB6\r\nSTR13 = b");
    struct Case
    {
        const char* name;
        QByteArray bytes;
        QStringList lines;
    };
    const QStringList expected = {QString::fromUtf8("STR12 = \xC2\xB6 Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC\xC2\xB6"), "STR13 = b"};
    const Case cases[] = {
        {"utf-8 with mark", QByteArray("\xEF\xBB\xBF") + text.toUtf8(), expected},
        {"utf-16 little endian", Utf16(text, true), expected},
        {"utf-16 big endian", Utf16(text, false), expected},
        // Without a mark the bytes are Windows-1252: 0xB6 is the pilcrow, 0x80 the euro sign.
        {"windows-1252", QByteArray("STR12 = \xB6 Gr\xFC\xDF \x80\xB6\r\nSTR13 = b"), expected},
        // UTF-8 without a mark is not guessed.
        {"utf-8 without mark", QByteArray("\xC3\xBC"), {QString::fromUtf8("\xC3\x83\xC2\xBC")}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = dir.filePath("f.lng");
        ASSERT_TRUE(testsupport::WriteAll(path, c.bytes));
        QStringList lines;
        QString error;
        ASSERT_TRUE(ReadTextLines(path, &lines, &error)) << c.name;
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

TEST(TextFiles, SplitsLinesAtCrLfAndCrLf)
{
    struct Case
    {
        const char* text;
        QStringList lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\n\r\nb", {"a", "", "b"}},
        {"\n", {""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {" x \t", {" x \t"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitLines(QString::fromLatin1(c.text)), c.lines) << c.text;
}

TEST(TextFiles, Windows1252RoundTripsEveryByteAndReplacesTheRest)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
    EXPECT_EQ(DecodeWindows1252("\x80\x8A\x9F"), QString::fromUtf8("\xE2\x82\xAC\xC5\xA0\xC5\xB8"));
    EXPECT_EQ(EncodeWindows1252(QString::fromUtf8("a\xCE\xA9\xE2\x82\xAC")), QByteArray("a?\x80"));
}

TEST(TextFiles, ReadFailureIsReported)
{
    QTemporaryDir dir;
    QStringList lines{"keep"};
    QString error;
    EXPECT_FALSE(ReadTextLines(dir.filePath("missing.lng"), &lines, &error));
    EXPECT_TRUE(error.contains("missing.lng"));
    EXPECT_EQ(lines, QStringList{"keep"});
    EXPECT_FALSE(ReadTextLines(dir.path(), &lines, &error));
}

TEST(Folders, CreateOneLevelOrWithParents)
{
    QTemporaryDir dir;
    const QString nested = JoinPath(JoinPath(dir.path(), "PROJECTS"), "Plant");
    QString error;
    EXPECT_FALSE(CreateFolder(nested, &error)) << "parent missing";
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(DirectoryExists(nested));
    EXPECT_TRUE(ForceFolders(JoinPath(nested, "bin")));
    EXPECT_TRUE(DirectoryExists(JoinPath(nested, "bin")));
    EXPECT_TRUE(ForceFolders(nested)) << "existing folder is fine";
    EXPECT_FALSE(CreateFolder(nested, &error)) << "already there";
    EXPECT_TRUE(CreateFolder(JoinPath(dir.path(), "MASTER")));
    EXPECT_FALSE(FileExists(nested));
    EXPECT_FALSE(DirectoryExists(""));
    EXPECT_FALSE(ForceFolders("", &error));
}

TEST(Folders, ListsSubFoldersAndFilesByPattern)
{
    QTemporaryDir dir;
    for (const char* d : {"beta", "Alpha", "gamma"})
        ASSERT_TRUE(CreateFolder(dir.filePath(d)));
    for (const char* f : {"Italiano.lng", "English.LNG", "notes.txt", "German.lng"})
        ASSERT_TRUE(testsupport::WriteAll(dir.filePath(f), "x"));
    EXPECT_EQ(ListSubFolders(dir.path()), (QStringList{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(ListFiles(dir.path(), "*.lng"), (QStringList{"English.LNG", "German.lng", "Italiano.lng"}));
    EXPECT_EQ(ListFiles(dir.path(), "?otes.*"), QStringList{"notes.txt"});
    EXPECT_EQ(ListFiles(dir.path()).size(), 4);
    EXPECT_TRUE(ListFiles(dir.filePath("none"), "*").isEmpty());
}

TEST(Files, CopyAndDelete)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.xml");
    const QString b = dir.filePath("b.xml");
    ASSERT_TRUE(testsupport::WriteAll(a, "first"));
    QString error;
    EXPECT_TRUE(CopyFileTo(a, b, true, &error));
    EXPECT_EQ(testsupport::ReadAll(b), "first");
    ASSERT_TRUE(testsupport::WriteAll(a, "second"));
    EXPECT_FALSE(CopyFileTo(a, b, true, &error)) << "must not overwrite";
    EXPECT_EQ(testsupport::ReadAll(b), "first");
    EXPECT_TRUE(CopyFileTo(a, b, false, &error));
    EXPECT_EQ(testsupport::ReadAll(b), "second");
    EXPECT_FALSE(CopyFileTo(dir.filePath("none"), b, false, &error));
    EXPECT_TRUE(error.contains("none"));
    EXPECT_EQ(testsupport::ReadAll(b), "second");

    EXPECT_TRUE(DeleteFileAt(b, &error));
    EXPECT_FALSE(FileExists(b));
    EXPECT_FALSE(DeleteFileAt(b, &error));
    EXPECT_FALSE(DeleteFileAt(dir.path(), &error)) << "a folder is not a file";
}

TEST(Files, AtomicWriteReplacesWholeOrNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bank1.bin");
    const QByteArray data("\x00\x01\xFF\x10", 4);
    ASSERT_TRUE(WriteFileAtomically(path, data));
    EXPECT_EQ(testsupport::ReadAll(path), data);
    ASSERT_TRUE(WriteFileAtomically(path, "x"));
    EXPECT_EQ(testsupport::ReadAll(path), "x");
    QString error;
    EXPECT_FALSE(WriteFileAtomically(dir.filePath("none/bank2.bin"), data, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"bank1.bin"});
}

TEST(Files, AFullDiskFailsASmallWriteToo)
{
    // A small file is written in one go; a disk that takes only part of it
    // must fail the save, not keep the part.
    QTemporaryDir dir;
    const QString path = dir.filePath("ParGen.xml");
    ASSERT_TRUE(WriteFileAtomically(path, "old"));
    struct rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString error;
    const bool ok = WriteFileAtomically(path, QByteArray(300, 'x'), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(testsupport::ReadAll(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"ParGen.xml"});
}

TEST(Regional, OnlyCommaAndPointAreSeparators)
{
    const std::pair<const char*, char16_t> cases[] = {
        {".", u'.'}, {",", u','}, {"", u','}, {";", u','}, {"..", u','}, {" .", u','}, {"\xC2\xB7", u','},
    };
    for (const auto& [setting, expected] : cases)
        EXPECT_EQ(DecimalSeparatorFrom(QString::fromUtf8(setting)), QChar(expected)) << setting;
    const QChar now = DecimalSeparator();
    EXPECT_TRUE(now == u'.' || now == u',');
}

TEST(Unsupported, AutomationServersSaySoClearly)
{
    QString error;
    EXPECT_FALSE(CreateAutomationObject("excel.application", &error));
    EXPECT_TRUE(error.contains("excel.application"));
    EXPECT_TRUE(error.contains("not available"));
}
