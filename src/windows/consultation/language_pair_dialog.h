#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QComboBox;

// The two languages of a glossary, asked once per export: the expressions'
// and the translations'. What was chosen is offered again for the rest of
// the run, and forgotten at its end.
class LanguagePairDialog : public QDialog {
    Q_OBJECT
public:
    struct Pair {
        QString source;
        QString target;
    };

    explicit LanguagePairDialog(QWidget* parent);

    // Shows the dialog modal; the pair chosen, or nothing when cancelled.
    static std::optional<Pair> ask(QWidget* parent);

private:
    QComboBox* m_source;
    QComboBox* m_target;
};
