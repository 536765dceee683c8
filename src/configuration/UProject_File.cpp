#include "configuration/UProject_File.h"

#include "platform/Dialogs.h"

// Not in the language table, whose entries are fixed: it has no text for this question.
bool Damaged_File_May_Be_Replaced(const QString& loadError)
{
    const QString text = loadError
                         + QStringLiteral("\n\nThe file is kept as it is. Open the window with the default values "
                                          "instead? OK will then replace the damaged file.");
    return platform::ShowMessage(platform::MessageKind::Error, text, platform::MessageButtons::YesNo)
           == platform::MessageAnswer::Yes;
}
