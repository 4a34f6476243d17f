#pragma once

#include <QDialog>

class Registry;

// The About window: the product, its version and credits, and a button that
// starts the system-information program. There is one at a time.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Shows the one About window, creating it if needed.
    static void showModeless();
    // Shows it modal and returns once it is closed.
    static void showModal(QWidget* over);
    static frmAbout* current();

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();

    // The registry the system-information lookup reads; tests put a fake one.
    static void setRegistry(Registry* registry);

private:
    frmAbout();
    static frmAbout& instance();
};
