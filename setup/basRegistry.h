#pragma once

#include <QString>
#include <QVariant>

// Reads single values of a system-wide registry of settings. This platform has
// none, so every read answers the caller's default; the contract is kept so
// callers need no platform test of their own.
namespace trimora {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

// The value as text or number, or defaultValue when it cannot be read.
QVariant ReadRegistryValue(RegistryRoot root, const QString& keyPath, const QString& valueName,
                           const QVariant& defaultValue);

// The text up to (not including) its first NUL character.
QString StripAtNull(const QString& text);

}  // namespace trimora
