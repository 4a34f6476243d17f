#include "exchange/tbx_writer.h"

#include "exchange/glossary.h"

using Module1::Field;

TbxWriter::TbxWriter(QIODevice& out, const QString& sourceLanguage, const QString& targetLanguage)
    : m_xml(&out), m_source(sourceLanguage), m_target(targetLanguage) {
    m_xml.setAutoFormatting(true);
    m_xml.setAutoFormattingIndent(1);
    m_xml.writeStartDocument();
    m_xml.writeStartElement(QStringLiteral("martif"));
    m_xml.writeAttribute(QStringLiteral("type"), QStringLiteral("TBX-Basic"));
    m_xml.writeAttribute(QStringLiteral("xml:lang"), m_source);
    m_xml.writeStartElement(QStringLiteral("martifHeader"));
    m_xml.writeStartElement(QStringLiteral("fileDesc"));
    m_xml.writeStartElement(QStringLiteral("sourceDesc"));
    m_xml.writeTextElement(QStringLiteral("p"), QStringLiteral("Lexicarium"));
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("encodingDesc"));
    m_xml.writeStartElement(QStringLiteral("p"));
    m_xml.writeAttribute(QStringLiteral("type"), QStringLiteral("XCSURI"));
    m_xml.writeCharacters(QStringLiteral("TBXBasicXCSV02.xcs"));
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("text"));
    m_xml.writeStartElement(QStringLiteral("body"));
}

// A carriage return written as itself would come back as a line feed alone:
// it goes as a character reference, so that every field comes back as stored.
void TbxWriter::characters(const QString& text) {
    const QStringList pieces = exchangeable(text).split(u'\r');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) m_xml.writeEntityReference(QStringLiteral("#13"));
        if (!pieces[i].isEmpty()) m_xml.writeCharacters(pieces[i]);
    }
}

void TbxWriter::element(const QString& name, const QString& text, const QString& type) {
    m_xml.writeStartElement(name);
    if (!type.isEmpty()) m_xml.writeAttribute(QStringLiteral("type"), type);
    characters(text);
    m_xml.writeEndElement();
}

void TbxWriter::write(const CardText& card) {
    const auto optional = [this](const QString& name, const QString& text, const QString& type = QString()) {
        if (!text.isEmpty()) element(name, text, type);
    };
    m_xml.writeStartElement(QStringLiteral("termEntry"));
    m_xml.writeAttribute(QStringLiteral("id"), QStringLiteral("fiche-%1").arg(card.numero));
    optional(QStringLiteral("note"), card[Field::miscellanea]);

    m_xml.writeStartElement(QStringLiteral("langSet"));
    m_xml.writeAttribute(QStringLiteral("xml:lang"), m_source);
    m_xml.writeStartElement(QStringLiteral("tig"));
    element(QStringLiteral("term"), card[Field::expression]);
    optional(QStringLiteral("descrip"), card[Field::contexte], QStringLiteral("context"));
    optional(QStringLiteral("admin"), card[Field::reference], QStringLiteral("source"));
    // Entries the same as the term are the term again: an import takes them back so.
    if (card[Field::dictionnaire] != card[Field::expression]) {
        optional(QStringLiteral("note"), card[Field::dictionnaire].isEmpty() ? QString()
                                                                              : glossary::labelledEntries(card[Field::dictionnaire], true));
    }
    m_xml.writeEndElement();
    m_xml.writeEndElement();

    m_xml.writeStartElement(QStringLiteral("langSet"));
    m_xml.writeAttribute(QStringLiteral("xml:lang"), m_target);
    m_xml.writeStartElement(QStringLiteral("tig"));
    element(QStringLiteral("term"), card[Field::traduction]);
    if (card[Field::dictionnairecible] != card[Field::traduction]) {
        optional(QStringLiteral("note"), card[Field::dictionnairecible].isEmpty()
                                             ? QString()
                                             : glossary::labelledEntries(card[Field::dictionnairecible], false));
    }
    m_xml.writeEndElement();
    m_xml.writeEndElement();

    m_xml.writeEndElement();
}

bool TbxWriter::finish() {
    m_xml.writeEndDocument();
    return !m_xml.hasError();
}
