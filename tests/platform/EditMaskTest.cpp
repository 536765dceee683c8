// The platform's edit-mask language read into Qt's input mask, and the text
// a masked edit gives: each row says what part of the language it holds.
#include "platform/EditMask.h"

#include "support/TestSupport.h"

#include <QLineEdit>

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct MaskCase
{
    const char* why;
    const char* mask;
    const char* qtMask;
    bool saveLiterals;
    char blank;
    const char* literals; // per shown position: L literal, . place
};

const MaskCase kCases[] = {
    {"no mask", "", "", true, '_', ""},
    {"0 a required digit, 9 an optional one", "09", "90;_", true, '_', ".."},
    {"letters, letters or digits, any character", "LlAaCc", "AaNnXx;_", true, '_', "......"},
    {"a digit or sign", "#", "#;_", true, '_', "."},
    {"a literal between places", "00/00", "99/99;_", true, '_', "..L.."},
    {"a literal that is a Qt letter is escaped", "0x0", "9\\x9;_", true, '_', ".L."},
    {"backslash makes a place letter literal", "\\L\\0\\\\0", "L\\0\\\\9;_", true, '_', "LLL."},
    {"underscore shows a blank", "0_0", "9 9;_", true, '_', ".L."},
    {"upper, lower and back to as typed", ">L<l<>c", ">A<a!x;_", true, '_', "..."},
    {"! has no place", "!90:00", "09:99;_", true, '_', "..L.."},
    {"keep field 0 drops the literals", "00-00;0", "99-99;_", false, '_', "..L.."},
    {"keep field 1 keeps them", "00-00;1", "99-99;_", true, '_', "..L.."},
    {"the blank character", "000;1;*", "999;*", true, '*', "..."},
    {"a blank that is a space", "00:00;0; ", "99:99; ", false, ' ', "..L.."},
    {"only fields: no mask", ";1;_", "", true, '_', ""},
};

TEST(EditMask, TranslatesEachPartOfTheLanguage)
{
    for (const MaskCase& k : kCases) {
        const TEditMask m = TranslateEditMask(QString::fromLatin1(k.mask));
        EXPECT_EQ(m.qtMask, QString::fromLatin1(k.qtMask)) << k.why;
        if (m.qtMask.isEmpty())
            continue;
        EXPECT_EQ(m.saveLiterals, k.saveLiterals) << k.why;
        EXPECT_EQ(m.blank, QChar::fromLatin1(k.blank)) << k.why;
        QString literals;
        for (bool l : m.literal)
            literals += l ? u'L' : u'.';
        EXPECT_EQ(literals, QString::fromLatin1(k.literals)) << k.why;
    }
}

// What Qt makes of the translation: a required place must be filled, an
// optional one may stay blank; the case marks change what is typed.
struct TypedCase
{
    const char* why;
    const char* mask;
    const char* typed;
    bool acceptable;
    const char* text;
};

const TypedCase kTyped[] = {
    {"0 must be filled", "00", "1", false, "1"},
    {"9 may stay blank", "99", "1", true, "1"},
    {"the optional first hour digit", "!90:00;1;_", "112", false, "11:2"},
    {"all required places filled", "!90:00;1;_", "1230", true, "12:30"},
    {"keep 0: only what was typed", "00/00;0;_", "1231", true, "1231"},
    {"keep 1: the literals too", "00/00;1;_", "1231", true, "12/31"},
    {"upper case", ">LL", "ab", true, "AB"},
    {"lower case", "<LL", "AB", true, "ab"},
    {"a letter place refuses a digit", "L", "1", false, ""},
};

TEST(EditMask, QtKeepsTheRequiredAndOptionalPlacesApart)
{
    for (const TypedCase& k : kTyped) {
        const TEditMask m = TranslateEditMask(QString::fromLatin1(k.mask));
        QLineEdit edit;
        edit.setInputMask(m.qtMask);
        edit.setCursorPosition(0);
        edit.show();
        edit.setFocus();
        testsupport::Type(&edit, QString::fromLatin1(k.typed));
        EXPECT_EQ(edit.hasAcceptableInput(), k.acceptable) << k.why << " shown " << edit.displayText().toStdString();
        EXPECT_EQ(MaskedText(m, edit.displayText()), QString::fromLatin1(k.text)) << k.why;
    }
}

} // namespace
