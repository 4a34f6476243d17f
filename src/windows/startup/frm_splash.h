#pragma once

#include <QWidget>
#include <functional>

class QTimer;

// The window shown at start. Its timer, a key that gives a character or a
// click on one of its active parts closes it and brings up the main window.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 3000;

    // showMainWindow runs once, after the splash has closed.
    explicit frmSplash(std::function<void()> showMainWindow);

    void Timer1_Timer() { closeSplash(); }
    void Frame1_Click() { closeSplash(); }
    void Image1_Click() { closeSplash(); }
    void imgLogo_Click(int /*index*/) { closeSplash(); }
    void Label2_Click() { closeSplash(); }
    void Label3_Click() { closeSplash(); }
    void Label4_Click() { closeSplash(); }
    void Label5_Click() { closeSplash(); }
    void Label8_Click() { closeSplash(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_KeyPress(int /*keyAscii*/) { closeSplash(); }
    void closeSplash();

    std::function<void()> m_showMainWindow;
    QTimer* m_timer;
    bool m_closed = false;
};
