#include "rules/URule_Files.h"
#include "rules/URule_Checks.h"

#include "shell/ULanguage.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

QString Spare_Text(int entry, const QString& english)
{
    const QString text = Language_List.value(entry);
    return text.trimmed().isEmpty() ? english : text;
}

QString Rule_Missing_Attribute_Message()
{
    return rules::Format_Message(QStringLiteral("Could not convert variant of type (%s) into type (%s)"),
                                 {QStringLiteral("Null"), QStringLiteral("OleStr")});
}

QString Rule_File_Place(const QString& path, const QString& list, int row, const QString& attribute)
{
    QString where = QStringLiteral("\nFile \"%1\"").arg(path);
    if (!list.isEmpty())
        where += QStringLiteral(", list \"%1\"").arg(list);
    return where + QStringLiteral(", row %1, attribute \"%2\"").arg(row).arg(attribute);
}

QString Rule_Missing_Attribute_Message(const QString& path, const QString& list, int row, const QString& attribute)
{
    return Rule_Missing_Attribute_Message() + Rule_File_Place(path, list, row, attribute);
}

void TUnread::Add(const QString& file, const QString& reason)
{
    path = file;
    if (!why.isEmpty())
        why += QLatin1Char('\n');
    why += reason;
}

bool Consent_To_Replace(const TUnread& unread)
{
    if (!unread.Any() || !platform::FileExists(unread.path))
        return true;
    const QString question = rules::Format_Message(
        Spare_Text(spare_text::Replace_Unread,
                   QStringLiteral("The file %s was not read whole when this window was opened:\n%s\n\nSaving "
                                  "replaces it, and what could not be read is lost. Do you want to replace it?")),
        {unread.path, unread.why});
    return platform::ShowMessage(platform::MessageKind::Confirmation, question, platform::MessageButtons::YesNo)
           == platform::MessageAnswer::Yes;
}
