#pragma once

#include <QString>
#include <QXmlStreamWriter>

#include "exchange/card_writer.h"

class QIODevice;

// Writes cards as a TBX glossary: ISO 30042:2008, the martif form, with
// TBX-Basic data categories, in UTF-8. Each card is a termEntry:
//   termEntry id="fiche-N"        the card's number
//     note                        miscellanea
//     langSet (source language)
//       tig/term                  expression
//       tig/descrip type=context  contexte
//       tig/admin type=source     reference
//       tig/note                  dictionnaire (source-text entries)
//     langSet (target language)
//       tig/term                  traduction
//       tig/note                  dictionnairecible (target-text entries)
// Empty fields are left out, but for the two terms.
class TbxWriter final : public CardWriter {
public:
    TbxWriter(QIODevice& out, const QString& sourceLanguage, const QString& targetLanguage);
    void write(const CardText& card) override;
    bool finish() override;

private:
    void element(const QString& name, const QString& text, const QString& type = QString());
    void characters(const QString& text);

    QXmlStreamWriter m_xml;
    QString m_source;
    QString m_target;
};
