#pragma once

#include <QString>

// What a working window needs of the main window: the data-file path it holds
// and a way back to it when the working window closes.
class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;
    virtual QString dataFilePath() const = 0;
    // Whether the path is the default one ("Lexicarium par défaut" ticked).
    virtual bool usesDefaultDataFile() const = 0;
    virtual void setDataFilePath(const QString& path) = 0;
    virtual void showMainWindow() = 0;
};
