#pragma once

#include <QString>

namespace platform {

// A library of another party loaded while it is needed. Only a full path is
// accepted, so the library comes from the folder the caller names and never
// from the system's search path. Released on destruction.
class DynamicLibrary
{
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // False with a message when the path is not absolute or the file cannot be loaded.
    bool Load(const QString& path, QString* error = nullptr);
    bool Loaded() const { return handle_ != nullptr; }
    // The entry point of that name, or null.
    void* Symbol(const char* name) const;
    void Release();

private:
    void* handle_ = nullptr;
};

// The file name this platform gives a library of that name: "libNAME.so".
QString LibraryFileName(const QString& name);

} // namespace platform
