#include "platform/DynamicLibrary.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace platform {

DynamicLibrary::~DynamicLibrary() { Release(); }

bool DynamicLibrary::Load(const QString& path, QString* error)
{
    Release();
    if (!QDir::isAbsolutePath(path)) {
        if (error)
            *error = QStringLiteral("%1: a library is only loaded from a full path").arg(path);
        return false;
    }
    handle_ = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_ && error) {
        const char* why = dlerror();
        *error = why ? QString::fromLocal8Bit(why) : path;
    }
    return handle_ != nullptr;
}

void* DynamicLibrary::Symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

void DynamicLibrary::Release()
{
    if (handle_)
        dlclose(handle_);
    handle_ = nullptr;
}

QString LibraryFileName(const QString& name) { return QStringLiteral("lib%1.so").arg(name); }

} // namespace platform
