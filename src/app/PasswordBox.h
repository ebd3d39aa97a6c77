#pragma once

#include <QString>

struct PasswordRequest;

// The box in which the user gives a database server the password it asks for
// (when libpq's password file and environment give none). The answer is kept in
// this process's memory only, by the data layer; nothing is ever written.
namespace PasswordBox {

QString title();
// What the box says: which server, database and user, and why it asks again.
QString promptFor(const PasswordRequest &request);
// Makes the data layer ask through the dialogs seam's password box.
void install();

} // namespace PasswordBox
