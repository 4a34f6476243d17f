#pragma once

#include <QString>

// The data file used until the user chooses another. On Windows it is the
// program's historic path; elsewhere the file lies in the user's
// application-data folder, created here when missing.
QString defaultDataFilePath();
