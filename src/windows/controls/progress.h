#pragma once

#include <QString>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// The progress of a long action over a window, with "Annuler". Thousands of
// items, or an unknown number, show a progress dialog once the action has
// lasted half a second; fewer show none. Tests follow the progress, and
// cancel, in its place.
class Progress {
public:
    Progress(QWidget* parent, const QString& label, int total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // False once the user has asked to cancel.
    bool update(int done);

    // Sees every update; answers false to cancel.
    using Observer = std::function<bool(int done, int total)>;
    static void setObserver(Observer observer);

    static constexpr int kShownFrom = 1000;
    // A total not known beforehand: the dialog says the action is at work.
    static constexpr int kUnknown = -1;

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    int m_total;
};
