#include "rules/UText_File_Writer.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

QByteArray Text_File_Bytes(const QStringList& lines, TText_File_Format format)
{
    QByteArray bytes;
    const bool utf8 = format.encoding == TText_Encoding::Utf8;
    if (utf8 && format.byteOrderMark)
        bytes += "\xEF\xBB\xBF";
    for (const QString& line : lines) {
        // A line holding its own break would end up as two lines of another
        // ending; the writers never make such lines.
        bytes += utf8 ? line.toUtf8() : platform::EncodeWindows1252(line);
        bytes += "\r\n";
    }
    return bytes;
}

QString With_File_Extension(const QString& name, const QString& extension)
{
    if (name.endsWith(extension, Qt::CaseInsensitive))
        return name;
    return name + extension;
}

bool Confirm_Overwrite(const QString& path, const QString& question, bool offerCancel)
{
    if (!platform::FileExists(path))
        return true;
    const auto buttons = offerCancel ? platform::MessageButtons::YesNoCancel : platform::MessageButtons::YesNo;
    return platform::ShowMessage(platform::MessageKind::Confirmation, question, buttons) ==
           platform::MessageAnswer::Yes;
}

bool Save_Text_File(const QString& path, const QStringList& lines, TText_File_Format format)
{
    QString error;
    if (platform::WriteFileAtomically(path, Text_File_Bytes(lines, format), &error))
        return true;
    platform::ShowMessage(platform::MessageKind::Error, error);
    return false;
}
