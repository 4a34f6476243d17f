#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "forms/file_languages.h"
#include "search/card_search.h"

class QAction;
class QWidget;

// What « Formes fléchies » adds to the Consultation window's searches: the
// text's other forms among the data file's words. The file's vocabulary is
// prepared on a thread of its own as soon as the option is ticked; a search
// that comes first waits for it, its progress shown with « Annuler ».
class WordFormsSearch : public QObject {
    Q_OBJECT
public:
    WordFormsSearch(QWidget* window, QAction* option, std::function<QString()> dataFile);

    struct Forms {
        std::shared_ptr<const cardsearch::FormPhrases> phrases;  // none: the text as typed
        QString said;  // for the status bar, where the forms could not all be used
    };
    // The forms of the text, where the option is ticked.
    Forms formsOf(const QString& text, const cardsearch::Query& query);
    // The forms of the text, ticked or not, where a dictionary is installed:
    // what a search finding nothing may suggest.
    std::shared_ptr<const cardsearch::FormPhrases> suggestedFormsOf(const cardsearch::Query& query);

    // Begins reading the data file's vocabulary on a thread of its own,
    // where a dictionary is installed for one of its languages.
    void prepare();
    // The data file's languages, guessed or chosen.
    FileLanguages languages() const;
    // « Langues des fiches... »: the user chooses them among those
    // dictionaries are installed for.
    void chooseLanguages();

private:
    QWidget* m_window;
    QAction* m_option;
    std::function<QString()> m_dataFile;
};
