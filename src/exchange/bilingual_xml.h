#pragma once

#include <QIODevice>
#include <QString>
#include <QStringView>
#include <QXmlStreamReader>
#include <initializer_list>

// An XLIFF or TMX document read an element at a time, with what every
// such reading refuses: entities the file declares (never expanded),
// entities it does not declare, elements nested past any translation
// file's, texts longer than a segment can be, and XML not well-formed. A
// refusal is an ExchangeError naming the file.
class BilingualXml {
public:
    BilingualXml(QIODevice& in, const QString& path);

    // The next start or end of an element; false at the document's end.
    bool next();
    bool starts(std::initializer_list<const char*> names) const;
    bool ends(std::initializer_list<const char*> names) const;
    // An attribute by its local name; "lang" is xml:lang.
    QString attribute(const char* name) const;

    // The text of the element just begun, up to its end, the reader left
    // there: the characters of the elements within it too, but those of
    // `codes` (a format's inline codes: "<b>" written in the file, not text).
    QString text(std::initializer_list<const char*> codes);

    qint64 line() const { return m_xml.lineNumber(); }
    [[noreturn]] void fail(const QString& what) const;

private:
    void checkDocumentType();

    QXmlStreamReader m_xml;
    QString m_file;
    int m_depth = 0;
};
