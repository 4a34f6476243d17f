#pragma once

#include <QMainWindow>
#include <QPointer>

#include "windows/common/main_window_link.h"
#include "windows/lookup/lookup_actions.h"

class CommonDialog;
class Frm_ajout;
class QCheckBox;
class QLineEdit;
class QuickLookupService;

// The main window: holds the data-file path and opens the working windows.
class Menu : public QMainWindow, public MainWindowLink, public LookupActions {
    Q_OBJECT
public:
    explicit Menu(const QString& defaultPath);

    QString dataFilePath() const override;
    bool usesDefaultDataFile() const override;
    void setDataFilePath(const QString& path) override;
    void showMainWindow() override;
    QString openCard(const QString& text, const QString& numero) override;
    QString newCard(const QString& expression) override;

    // The look-up whose shortcut « Raccourci de recherche... » changes.
    void setQuickLookup(QuickLookupService* lookup);

    void Ajout_Click();
    void Consultation_Click();
    void Check1_Click();
    void copies_Click();
    void raccourci_Click();
    void Quitter_Click();
    void about_Click();
    void Form_Resize();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Shows a loaded working window in place of this one.
    void showInstead(QWidget* window);
    // Why a look-up cannot open a working window now; empty when it can.
    QString workingWindowInTheWay() const;
    Frm_ajout* openEdition();

    QString m_defaultPath;
    QLineEdit* m_nomfichier;
    QCheckBox* m_check1;
    QPointer<QWidget> m_working;  // the working window shown in place of this one
    QuickLookupService* m_lookup = nullptr;
    QAction* m_raccourci;
    CommonDialog* m_commonDialog1;  // the data file whose copies are listed, when none is chosen yet
};
