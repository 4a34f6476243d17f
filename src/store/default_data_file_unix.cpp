#include "store/default_data_file.h"

QString defaultDataFilePath() { return defaultdatafile::inUsersFolder(); }
