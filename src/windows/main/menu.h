#pragma once

#include <QMainWindow>

#include "windows/common/main_window_link.h"

class CommonDialog;
class QCheckBox;
class QLineEdit;

// The main window: holds the data-file path and opens the working windows.
class Menu : public QMainWindow, public MainWindowLink {
    Q_OBJECT
public:
    explicit Menu(const QString& defaultPath);

    QString dataFilePath() const override;
    bool usesDefaultDataFile() const override;
    void setDataFilePath(const QString& path) override;
    void showMainWindow() override;

    void Ajout_Click();
    void Consultation_Click();
    void Check1_Click();
    void copies_Click();
    void Quitter_Click();
    void about_Click();
    void Form_Resize();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Shows a loaded working window in place of this one.
    void showInstead(QWidget* window);

    QString m_defaultPath;
    QLineEdit* m_nomfichier;
    QCheckBox* m_check1;
    CommonDialog* m_commonDialog1;  // the data file whose copies are listed, when none is chosen yet
};
