#pragma once

#include <QString>

#include "store/native_file.h"

// Where the files that belong to a data file stand: beside it, or, where its
// folder refuses new files, in the user's own application-data folder under
// a name made of the data file's name and a hash of its one full name.
namespace fileplaces {

// <data file's full name><suffix>, beside it.
QString beside(FileSystem& fileSystem, const QString& dataFile, const QString& suffix);
// <application data>/<folder>/<data file's name>-<hash><suffix>.
QString inUsersFolder(FileSystem& fileSystem, const QString& dataFile, const QString& folder, const QString& suffix);

// A name no file bears yet for what is set aside beside `path`:
// <path>.<label>-<date and time>, numbered where that is taken.
QString asideName(FileSystem& fileSystem, const QString& path, const QString& label);

// Whether a failure to create a file means its folder refuses new files.
bool refusesNewFiles(int error);

// The user's settings: "lexicarium.ini" in their application-data folder.
QString settingsFile();

}  // namespace fileplaces
