#pragma once

#include <QString>

class FileSystem;

// The data file used until the user chooses another. On Windows it is the
// program's historic path where that file is, or where the user may create
// it; elsewhere, and for a Windows user who may not write there, it lies in
// the user's application-data folder, the folder created here when missing.
QString defaultDataFilePath();

namespace defaultdatafile {

// `historic` where it exists or where its folder accepts a new file from
// this user (nothing is left there); else `usersOwn`.
QString chosen(FileSystem& fileSystem, const QString& historic, const QString& usersOwn);

// lexicarium.dat in the user's application-data folder, made if missing.
QString inUsersFolder();

}  // namespace defaultdatafile
