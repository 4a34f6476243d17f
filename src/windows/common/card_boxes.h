#pragma once

#include <QString>
#include <array>

#include "store/fiche_record.h"

class QLabel;
class QPlainTextEdit;
class QWidget;

// The seven labelled text boxes of a card, as the Edition and Card windows
// lay them out, and the copying between them and a record.
class CardBoxes {
public:
    explicit CardBoxes(QWidget* parent);

    QPlainTextEdit* box(Module1::Field field) const;
    // The label of a field's box, without its access key: "Contexte".
    static QString caption(Module1::Field field);
    // The fields in the order the windows show them, top to bottom.
    static const std::array<Module1::Field, 7>& shownOrder();
    QPlainTextEdit* txtreference() const { return box(Module1::Field::reference); }
    QPlainTextEdit* txtexpression() const { return box(Module1::Field::expression); }
    QPlainTextEdit* txttraduction() const { return box(Module1::Field::traduction); }
    QPlainTextEdit* txtmiscellanea() const { return box(Module1::Field::miscellanea); }
    QPlainTextEdit* txtdictionnaire() const { return box(Module1::Field::dictionnaire); }
    QPlainTextEdit* txtdictionnairecible() const { return box(Module1::Field::dictionnairecible); }
    QPlainTextEdit* txtcontexte() const { return box(Module1::Field::contexte); }

    // The text a box holds, line breaks as "\n", every character kept.
    QString text(Module1::Field field) const;
    void setText(Module1::Field field, const QString& text);

    // Each box gets its field without the trailing spaces.
    void show(const Module1::FicheRecord& fiche);
    // Each field gets its box's text, cut at the field's width.
    void fill(Module1::FicheRecord& fiche) const;
    void clear();

private:
    std::array<QPlainTextEdit*, 7> m_boxes{};
};
