#pragma once

// What the windows ask of the program's shell, without reaching into its main
// window: running an external program, the language change of every window
// and the project file paths. The main window provides the first two while it
// exists (it owns the running program and knows the windows); the paths
// follow the open configuration alone.

#include <QString>

#include <functional>

struct TShell_Services
{
    // Starts a program and waits for it as the main window does; true when it
    // ended with the code 0.
    std::function<bool(const QString& program, const QString& parameter, bool hidden)> Start_Program;
    // True while the program last started still runs.
    std::function<bool()> Check_Started_Program;
    // Every window takes its texts again from the language table.
    std::function<void()> Change_Language;
    // Who put them in place, so that only it takes them away.
    const void* owner = nullptr;
};

// The services in place; a member left empty does nothing (no main window).
TShell_Services& Shell_Services();

bool Start_Program(const QString& program, const QString& parameter, bool hidden);
bool Check_Started_Program();
void Change_Language();
// The project file paths of the open configuration, from Project_Folder.
void Set_Files();
