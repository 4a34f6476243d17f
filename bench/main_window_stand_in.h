#pragma once

#include "windows/common/main_window_link.h"

// The main window's part for a Consultation window measured alone.
struct MainWindowStandIn : MainWindowLink {
    QString path;
    QString dataFilePath() const override { return path; }
    bool usesDefaultDataFile() const override { return false; }
    void setDataFilePath(const QString& p) override { path = p; }
    void showMainWindow() override {}
};
