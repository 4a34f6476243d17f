#pragma once

#include <QString>

class MainWindowLink;
class StoreError;

// The message a window shows for a failure of the data file. Where the
// default data file does not exist and cannot be created (a standard user
// under "c:\program files"), it tells the user how to choose another file.
QString failureMessage(const StoreError& error, const MainWindowLink& menu);
