#pragma once

#include <QObject>
#include <functional>

class QLineEdit;
class QMainWindow;
class QPlainTextEdit;

// Tells the user, in the status bar and without a box to close, of the other
// cards that bear the expression of the card shown: when the expression box
// loses the focus and after each save. The notice stands until the
// expression changes. It never stops the user: a data file that cannot be
// read gives no notice, and the next action that reads it says why.
class DuplicateWatch : public QObject {
    Q_OBJECT
public:
    // `number` holds the card's number, the slot it is saved in: that card is
    // no duplicate of itself. `dataFile` gives the path the window works on.
    DuplicateWatch(QMainWindow* window, QPlainTextEdit* expression, QLineEdit* number,
                   std::function<QString()> dataFile);

    // Reads the file, under the hourglass only when that takes longer than
    // a user notices, and shows or takes away the notice.
    void check();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // `inFull`, its tool tip, leaves nothing out.
    void show(const QString& notice, const QString& inFull = {});

    QMainWindow* m_window;
    QPlainTextEdit* m_expression;
    QLineEdit* m_number;
    std::function<QString()> m_dataFile;
};
