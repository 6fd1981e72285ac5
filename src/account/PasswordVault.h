#pragma once
#include <QString>

// The account password lives only in the desktop's secret store, never in the settings.
// Both operations run in the background; without a reachable secret store the password is
// simply not kept.
namespace PasswordVault {
void keep(const QString& account, const QString& password);
void forget(const QString& account);
} // namespace PasswordVault
