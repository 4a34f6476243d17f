#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

class QMainWindow;
class StatusPanel;

// The notices a window's status bar shows in its caption's place, each
// under a name of its own (the panel's object name), in the order they
// first came; the caption comes back once none stands. Every notice is
// read in full in its tool tip and by screen readers.
class NoticeBar : public QObject {
    Q_OBJECT
public:
    // The window's own, made on first use.
    static NoticeBar& of(QMainWindow* window);

    // Shows the notice, or takes it away when `text` is empty; an invalid
    // colour leaves the status bar's own. Its tool tip is `inFull` where the
    // notice leaves something out, else the text.
    void set(const QString& name, const QString& text, const QColor& colour, const QString& inFull = {});

private:
    explicit NoticeBar(QMainWindow* window);

    QMainWindow* m_window;
    std::vector<QPointer<StatusPanel>> m_panels;
};
