#include "shell/UShell_Services.h"

#include "shell/UComon.h"

TShell_Services& Shell_Services()
{
    static TShell_Services services;
    return services;
}

bool Start_Program(const QString& program, const QString& parameter, bool hidden)
{
    const auto& run = Shell_Services().Start_Program;
    return run && run(program, parameter, hidden);
}

bool Check_Started_Program()
{
    const auto& check = Shell_Services().Check_Started_Program;
    return check && check();
}

void Change_Language()
{
    if (const auto& change = Shell_Services().Change_Language)
        change();
}

void Set_Files()
{
    for (const Project_File& f : Project_Files())
        *f.path = Project_Folder + QLatin1Char('/') + QString::fromLatin1(f.name);
}
