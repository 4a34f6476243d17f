#pragma once

#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "windows/common/main_window_link.h"
#include "windows/controls/alert.h"
#include "windows/controls/common_dialog.h"

class QWidget;

// Stands in for the main window: holds the path and counts its reappearances.
class FakeMainWindow : public MainWindowLink {
public:
    QString path;
    bool pathIsTheDefault = false;
    int timesShown = 0;
    QString dataFilePath() const override { return path; }
    bool usesDefaultDataFile() const override { return pathIsTheDefault; }
    void setDataFilePath(const QString& p) override { path = p; }
    void showMainWindow() override { ++timesShown; }
};

// Takes over every box and dialog for one test: message boxes are recorded,
// file and printer dialogs answered from a queue, modal windows handed to a
// handler. Everything is given back when the kit goes.
class WindowTestKit {
public:
    WindowTestKit();
    ~WindowTestKit();

    QString path(const QString& name = QStringLiteral("lexicarium.dat")) const { return m_dir.filePath(name); }
    QString folder() const { return m_dir.path(); }
    // Waits until the words of the data file at path() are read: the reading
    // holds the file open a moment, and Windows keeps a removed file's name
    // until every hold on it is let go. Says whether they could be read.
    bool waitForTheFileWords() const;

    // Message boxes shown so far.
    QList<Alert::Shown> messages;
    QStringList messageTexts() const;
    QStringList errors() const;
    // For each message, the windows that showed the hourglass as it came up.
    QList<QStringList> busyWindows;

    // Dialogs asked so far, and the answers for the next ones (nothing:
    // cancel). An empty queue cancels.
    QList<CommonDialog::Request> dialogs;
    QList<std::optional<CommonDialog::Choice>> answers;
    // Answers to the questions (Oui: true) in turn; an empty queue says Non.
    QList<bool> questionAnswers;

    // Runs while a window shown modal is open; it is closed afterwards.
    std::function<void(QWidget*)> onModal;

private:
    QTemporaryDir m_dir;
};

// The window of that name the program shows now, or none.
QWidget* shownWindow(const char* name);
