#pragma once

#include <QString>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

// The progress of a long action over a window, with "Annuler". Thousands of
// items show a progress dialog, once the action has lasted half a second;
// fewer show none. Tests follow the progress, and cancel, in its place.
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

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    int m_total;
};
