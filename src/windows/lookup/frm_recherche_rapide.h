#pragma once

#include <QWidget>
#include <vector>

#include "search/quick_lookup.h"

class LookupActions;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;
class QTimer;
class QTreeView;
class LookupRowsModel;

// « Recherche rapide »: the cards holding a text looked up from another
// program, the likeliest first, then those holding another form of it or a
// word spelt near, and the chosen one in full. Enter copies its other side
// (its translation, or its expression where the text was its translation's)
// and closes, Ctrl+Enter opens it in the Consultation window, Escape closes.
class Frm_recherche_rapide : public QWidget {
    Q_OBJECT
public:
    explicit Frm_recherche_rapide(LookupActions& actions, QWidget* parent = nullptr);

    // Shows the window for the text, near the pointer, on top and with the
    // keyboard focus.
    void showFor(const QString& text, const QPoint& pointer);
    // Looks the text up at once, as typing it in the window would after a pause.
    void lookUp(const QString& text);

    void copier();         // Enter
    // The user went back to another window: a look-up no longer covers it.
    void userWentElsewhere();
    void ouvrir();         // Ctrl+Enter
    void nouvelle_Click();

signals:
    // The window has come in front, as the program is told.
    void cameToFront();
    // The window was closed; `giveFocusBack` when the user is going back to
    // the program they came from rather than to a window of this one, or
    // has gone to another window already.
    void finished(bool giveFocusBack);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showChosen();
    // Says which side of the chosen card Enter copies.
    void sayKeys(bool copiesExpression);
    void finish(bool giveFocusBack);
    std::optional<quicklookup::Row> chosen() const;

    LookupActions& m_actions;
    QString m_lookedUp;  // the text the rows were found for
    QLineEdit* m_texte;
    QTreeView* m_fiches;
    LookupRowsModel* m_rows;
    QTextBrowser* m_detail;
    QLabel* m_compte;
    QPushButton* m_nouvelle;
    QLabel* m_touches;
    QTimer* m_typing;
};
