#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <optional>

#include "exchange/languages.h"

class QComboBox;
class QLabel;
class QPushButton;

// The two languages of a glossary: the expressions' and the translations'.
// An export asks them from every language a glossary may be written in, and
// what was chosen is offered again for the rest of the run; an import asks
// them from the file's own languages. The same language cannot be chosen
// for both.
class LanguagePairDialog : public QDialog {
    Q_OBJECT
public:
    struct Pair {
        QString source;
        QString target;
    };

    LanguagePairDialog(QWidget* parent, const QList<languages::Language>& offered, const Pair& selected);

    // For an export: shows the dialog modal; the pair chosen, or nothing
    // when cancelled. What was chosen in this run is proposed first, else
    // `proposed` (the data file's languages) where given.
    static std::optional<Pair> ask(QWidget* parent, const Pair& proposed = {});
    // The languages of a data file's cards, among those dictionaries are
    // installed for: « Langues des fiches ».
    static std::optional<Pair> chooseForCards(QWidget* parent, const QStringList& offered, const Pair& current);
    // For an import: the languages of the file only, `proposed` selected first.
    static std::optional<Pair> choose(QWidget* parent, const QStringList& offered, const Pair& proposed);

private:
    std::optional<Pair> run();
    void checkDifferent();

    QComboBox* m_source;
    QComboBox* m_target;
    QLabel* m_same;
    QPushButton* m_ok;
};
