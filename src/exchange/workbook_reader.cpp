#include "exchange/workbook_reader.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QXmlStreamReader>
#include <memory>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <optional>

#include "exchange/exchange_error.h"
#include "exchange/zip_archive.h"

namespace workbook {
namespace {

// What an import can use of any one member: the largest file it reads.
constexpr qint64 kLargestMember = qint64(256) * 1024 * 1024;
// Deeper than any workbook nests its XML.
constexpr int kDeepest = 64;
// A spreadsheet's own limits, and the columns a table of cards may have.
constexpr qint64 kLastRow = 1048576;
constexpr int kLastColumn = 16384;
constexpr int kColumnsKept = 256;

class Failing {
public:
    explicit Failing(const QString& path) : m_file(QDir::toNativeSeparators(path)) {}
    [[noreturn]] void fail(const QString& what) const {
        throw ExchangeError(QStringLiteral("Le classeur «\u00A0%1\u00A0» %2. Rien n'a été importé.").arg(m_file, what));
    }

private:
    QString m_file;
};

// What the archive could not give of a member, said of the workbook.
[[noreturn]] void failMember(const Failing& failing, const ziparchive::Failure& failure, const QString& member) {
    if (failure.kind == ziparchive::Failure::Kind::tooLarge) {
        failing.fail(QStringLiteral("a une partie «\u00A0%1\u00A0» qui dépasse %2 Mo une fois décompressée")
                         .arg(member)
                         .arg(kLargestMember / (1024 * 1024)));
    }
    failing.fail(QStringLiteral("a une partie «\u00A0%1\u00A0» illisible").arg(member));
}

// A member's XML read as it is inflated, a piece at a time, its depth watched.
class Xml {
public:
    Xml(const ziparchive::Reader& zip, const QString& member, const Failing& failing) : m_member(member), m_failing(failing) {
        try {
            m_stream = zip.open(member, kLargestMember);
        } catch (const ziparchive::Failure& failure) {
            failMember(m_failing, failure, member);
        }
    }

    // The next start or end of an element, or text; false at the end of the document.
    bool next() {
        for (;;) {
            const auto token = m_reader.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (++m_depth > kDeepest) m_failing.fail(QStringLiteral("imbrique «\u00A0%1\u00A0» sans fin").arg(m_member));
                return true;
            }
            if (token == QXmlStreamReader::EndElement) {
                --m_depth;
                return true;
            }
            if (token == QXmlStreamReader::Characters) return true;
            if (token == QXmlStreamReader::EndDocument) return false;
            if (m_reader.error() == QXmlStreamReader::PrematureEndOfDocumentError && !m_ended) {
                refill();
                continue;
            }
            if (m_reader.hasError()) {
                m_failing.fail(QStringLiteral("a une partie «\u00A0%1\u00A0» illisible (%2, ligne %3)")
                                   .arg(m_member, m_reader.errorString())
                                   .arg(m_reader.lineNumber()));
            }
        }
    }
    bool starts(QLatin1StringView name) const { return m_reader.isStartElement() && m_reader.name() == name; }
    bool ends(QLatin1StringView name) const { return m_reader.isEndElement() && m_reader.name() == name; }
    bool isText() const { return m_reader.isCharacters(); }
    bool isEnd() const { return m_reader.isEndElement(); }
    QStringView text() const { return m_reader.text(); }
    // The attribute of that local name, whatever its namespace.
    QStringView attribute(QLatin1StringView name) const {
        for (const auto& attribute : m_reader.attributes()) {
            if (attribute.name() == name) return attribute.value();
        }
        return {};
    }
    // Leaves the element just begun, whatever it holds.
    void skip() {
        for (int depth = 1; depth > 0 && next();) depth += m_reader.isStartElement() ? 1 : m_reader.isEndElement() ? -1 : 0;
    }

private:
    void refill() {
        QByteArray piece;
        try {
            piece = m_stream->next();
        } catch (const ziparchive::Failure& failure) {
            failMember(m_failing, failure, m_member);
        }
        if (piece.isEmpty()) {
            m_ended = true;  // what the reader lacks now, the document lacks
            m_reader.addData(QByteArray(" "));
            return;
        }
        m_reader.addData(piece);
    }

    QXmlStreamReader m_reader;
    std::unique_ptr<ziparchive::Reader::Stream> m_stream;
    bool m_ended = false;
    QString m_member;
    const Failing& m_failing;
    int m_depth = 0;
};

void setCell(QStringList& cells, int column, QString text) {
    if (text.isEmpty()) return;
    if (column >= kColumnsKept) return;  // past any column a table of cards names
    while (cells.size() <= column) cells.append(QString());
    text.squeeze();  // kept for the whole import: no room left over from its making
    cells[column] = std::move(text);
}

// --- Excel

struct ExcelStyles {
    std::vector<int> formatOfStyle;  // the number format of each cell style
    QHash<int, QString> customFormats;
    bool date1904 = false;
};

bool isDateFormat(int id, const QString& code) {
    if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47)) return true;
    if (code.isEmpty()) return false;
    bool quoted = false;
    bool bracketed = false;
    for (const QChar ch : code) {
        if (ch == u'"') quoted = !quoted;
        if (quoted) continue;
        if (ch == u'[') bracketed = true;
        if (ch == u']') bracketed = false;
        if (!bracketed && QStringLiteral("dmyhsDMYHS").contains(ch)) return true;
    }
    return false;
}

QString numberAsShown(double value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::abs(value) < 1e15) {
        return QString::number(qint64(value));
    }
    QString text = QLocale::c().toString(value, 'f', QLocale::FloatingPointShortest);
    const QString point = QLocale().decimalPoint();
    if (point != QLatin1String(".")) text.replace(u'.', point);
    return text;
}

QString excelValueAsShown(const QString& raw, int style, const ExcelStyles& styles) {
    bool ok = false;
    const double value = raw.toDouble(&ok);
    if (!ok) return raw;
    const int format = style >= 0 && std::size_t(style) < styles.formatOfStyle.size() ? styles.formatOfStyle[std::size_t(style)] : 0;
    const QString code = styles.customFormats.value(format);
    if (isDateFormat(format, code) && value >= 0 && value < 2958466) {
        // Day 60 of the 1900 system is a 29 February that never was.
        const QDate base = styles.date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, value < 60 ? 31 : 30);
        const double days = std::floor(value);
        const QDate date = base.addDays(qint64(days));
        const double fraction = value - days;
        const bool withTime = fraction > 0 || ((format >= 18 && format <= 22) || code.contains(u'h', Qt::CaseInsensitive));
        const bool timeOnly = (format >= 18 && format <= 21) || (format >= 45 && format <= 47);
        const QTime time = QTime(0, 0).addSecs(int(std::lround(fraction * 86400)) % 86400);
        if (timeOnly && days == 0) return time.toString(QStringLiteral("HH:mm:ss"));
        return withTime ? date.toString(QStringLiteral("dd/MM/yyyy")) + u' ' + time.toString(QStringLiteral("HH:mm"))
                        : date.toString(QStringLiteral("dd/MM/yyyy"));
    }
    if (format == 9 || format == 10 || code.endsWith(u'%')) return numberAsShown(value * 100) + u'%';
    return numberAsShown(value);
}

// The element's text, its runs joined, phonetic guides left out.
QString runsOf(Xml& xml, QLatin1StringView element) {
    QString text;
    bool inText = false;
    while (xml.next() && !xml.ends(element)) {
        if (xml.starts(QLatin1StringView("rPh"))) {
            xml.skip();
        } else if (xml.starts(QLatin1StringView("t"))) {
            inText = true;
        } else if (xml.ends(QLatin1StringView("t"))) {
            inText = false;
        } else if (inText && xml.isText()) {
            text += xml.text();
        }
    }
    return text;
}

// "C12": column 2 (from 0), row 12.
bool cellReference(QStringView reference, int& column, qint64& row) {
    qsizetype i = 0;
    qint64 letters = 0;
    for (; i < reference.size() && reference[i].isLetter(); ++i) {
        letters = letters * 26 + (reference[i].toUpper().unicode() - u'A' + 1);
        if (letters > kLastColumn) return false;
    }
    bool ok = false;
    row = reference.mid(i).toLongLong(&ok);
    column = int(letters) - 1;
    return ok && i > 0 && column >= 0 && row >= 1 && row <= kLastRow;
}

class ExcelReader {
public:
    ExcelReader(const ziparchive::Reader& zip, const QString& path) : m_zip(zip), m_failing(path) {}

    std::vector<Sheet> read() {
        const QString workbookPath = target(QStringLiteral("_rels/.rels"), QString(), QLatin1StringView("/officeDocument"))
                                         .value(0, QStringLiteral("xl/workbook.xml"));
        if (!m_zip.has(workbookPath)) m_failing.fail(QStringLiteral("n'est pas un classeur Excel (.xlsx)"));
        const QString folder = workbookPath.left(workbookPath.lastIndexOf(u'/') + 1);
        const QString rels = folder + QStringLiteral("_rels/") + workbookPath.mid(folder.size()) + QStringLiteral(".rels");
        readStyles(target(rels, folder, QLatin1StringView("/styles")).value(0));
        readStrings(target(rels, folder, QLatin1StringView("/sharedStrings")).value(0));
        const QHash<QString, QString> sheetFiles = targets(rels, folder);
        std::vector<Sheet> sheets;
        Xml xml(m_zip, workbookPath, m_failing);
        std::vector<QString> files;
        while (xml.next()) {
            if (xml.starts(QLatin1StringView("workbookPr"))) {
                const QStringView date1904 = xml.attribute(QLatin1StringView("date1904"));
                m_styles.date1904 = date1904 == QLatin1String("1") || date1904 == QLatin1String("true");
            } else if (xml.starts(QLatin1StringView("sheet"))) {
                Sheet sheet;
                sheet.name = xml.attribute(QLatin1StringView("name")).toString();
                sheet.hidden = !xml.attribute(QLatin1StringView("state")).isEmpty() &&
                               xml.attribute(QLatin1StringView("state")) != QLatin1String("visible");
                files.push_back(sheetFiles.value(xml.attribute(QLatin1StringView("id")).toString()));
                sheets.push_back(std::move(sheet));
            }
        }
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            if (files[i].isEmpty() || !m_zip.has(files[i])) {
                m_failing.fail(QStringLiteral("nomme une feuille «\u00A0%1\u00A0» qu'il ne contient pas").arg(sheets[i].name));
            }
            readSheet(files[i], sheets[i]);
        }
        if (sheets.empty()) m_failing.fail(QStringLiteral("ne contient aucune feuille"));
        return sheets;
    }

private:
    // Relationship ids and their targets, as paths inside the archive.
    QHash<QString, QString> targets(const QString& rels, const QString& folder, QLatin1StringView type = {}) const {
        QHash<QString, QString> found;
        if (!m_zip.has(rels)) return found;
        Xml xml(m_zip, rels, m_failing);
        while (xml.next()) {
            if (!xml.starts(QLatin1StringView("Relationship"))) continue;
            if (!type.isEmpty() && !xml.attribute(QLatin1StringView("Type")).endsWith(type)) continue;
            const QString to = xml.attribute(QLatin1StringView("Target")).toString();
            found.insert(xml.attribute(QLatin1StringView("Id")).toString(),
                         QDir::cleanPath(to.startsWith(u'/') ? to.mid(1) : folder + to));
        }
        return found;
    }
    QStringList target(const QString& rels, const QString& folder, QLatin1StringView type) const {
        return targets(rels, folder, type).values();
    }

    void readStyles(const QString& name) {
        if (name.isEmpty() || !m_zip.has(name)) return;
        Xml xml(m_zip, name, m_failing);
        bool inCellStyles = false;
        while (xml.next()) {
            if (xml.starts(QLatin1StringView("numFmt"))) {
                m_styles.customFormats.insert(xml.attribute(QLatin1StringView("numFmtId")).toInt(),
                                              xml.attribute(QLatin1StringView("formatCode")).toString());
            } else if (xml.starts(QLatin1StringView("cellXfs"))) {
                inCellStyles = true;
            } else if (xml.ends(QLatin1StringView("cellXfs"))) {
                inCellStyles = false;
            } else if (inCellStyles && xml.starts(QLatin1StringView("xf"))) {
                m_styles.formatOfStyle.push_back(xml.attribute(QLatin1StringView("numFmtId")).toInt());
            }
        }
    }

    void readStrings(const QString& name) {
        if (name.isEmpty() || !m_zip.has(name)) return;
        Xml xml(m_zip, name, m_failing);
        while (xml.next()) {
            if (xml.starts(QLatin1StringView("si"))) {
                m_strings.append(runsOf(xml, QLatin1StringView("si")));
                m_strings.back().squeeze();
            }
        }
    }

    void readSheet(const QString& name, Sheet& sheet) {
        Xml xml(m_zip, name, m_failing);
        Row row;
        int nextColumn = 0;
        while (xml.next()) {
            if (xml.starts(QLatin1StringView("row"))) {
                const qint64 number = xml.attribute(QLatin1StringView("r")).toLongLong();
                row = Row{number > 0 ? number : (sheet.rows.empty() ? 1 : sheet.rows.back().line + 1), {}};
                if (row.line > kLastRow) m_failing.fail(QStringLiteral("a une ligne %1, au-delà de la dernière").arg(row.line));
                nextColumn = 0;
            } else if (xml.ends(QLatin1StringView("row"))) {
                if (!row.cells.isEmpty()) sheet.rows.push_back(std::move(row));
                row = Row{};
            } else if (xml.starts(QLatin1StringView("c"))) {
                readCell(xml, row, nextColumn);
            }
        }
    }

    void readCell(Xml& xml, Row& row, int& nextColumn) {
        const QStringView reference = xml.attribute(QLatin1StringView("r"));
        int column = nextColumn;
        if (!reference.isEmpty()) {
            qint64 line = 0;
            if (!cellReference(reference, column, line)) {
                m_failing.fail(QStringLiteral("désigne une cellule «\u00A0%1\u00A0» hors des limites d'une feuille").arg(reference));
            }
        }
        nextColumn = column + 1;
        const QString type = xml.attribute(QLatin1StringView("t")).toString();
        const int style = xml.attribute(QLatin1StringView("s")).isEmpty() ? -1 : xml.attribute(QLatin1StringView("s")).toInt();
        QString value;
        QString inlineText;
        while (xml.next() && !xml.ends(QLatin1StringView("c"))) {
            if (xml.starts(QLatin1StringView("v"))) {
                while (xml.next() && !xml.ends(QLatin1StringView("v"))) {
                    if (xml.isText()) value += xml.text();
                }
            } else if (xml.starts(QLatin1StringView("is"))) {
                inlineText = runsOf(xml, QLatin1StringView("is"));
            } else if (xml.starts(QLatin1StringView("f"))) {
                xml.skip();  // the result the spreadsheet shows is in <v>
            }
        }
        QString shown;
        if (type == QLatin1String("s")) {
            bool ok = false;
            const qsizetype index = value.toLongLong(&ok);
            if (!ok || index < 0 || index >= m_strings.size()) {
                m_failing.fail(QStringLiteral("désigne un texte partagé n° %1 qu'il ne contient pas").arg(value));
            }
            shown = m_strings[index];
        } else if (type == QLatin1String("inlineStr")) {
            shown = inlineText;
        } else if (type == QLatin1String("b")) {
            shown = value.isEmpty() ? QString() : value == QLatin1String("1") ? QStringLiteral("VRAI") : QStringLiteral("FAUX");
        } else if (type == QLatin1String("str") || type == QLatin1String("e") || value.isEmpty()) {
            shown = value;
        } else {
            shown = excelValueAsShown(value, style, m_styles);
        }
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        setCell(row.cells, column, std::move(shown));
    }

    const ziparchive::Reader& m_zip;
    Failing m_failing;
    ExcelStyles m_styles;
    QStringList m_strings;
};

// --- OpenDocument

class OdsReader {
public:
    OdsReader(const ziparchive::Reader& zip, const QString& path) : m_zip(zip), m_failing(path) {}

    std::vector<Sheet> read() {
        if (!m_zip.has(QStringLiteral("content.xml"))) m_failing.fail(QStringLiteral("n'est pas un classeur OpenDocument (.ods)"));
        Xml xml(m_zip, QStringLiteral("content.xml"), m_failing);
        QSet<QString> hiddenStyles;
        QString style;
        std::vector<Sheet> sheets;
        while (xml.next()) {
            if (xml.starts(QLatin1StringView("style"))) {
                style = xml.attribute(QLatin1StringView("name")).toString();
            } else if (xml.starts(QLatin1StringView("table-properties")) &&
                       xml.attribute(QLatin1StringView("display")) == QLatin1String("false")) {
                hiddenStyles.insert(style);
            } else if (xml.starts(QLatin1StringView("table"))) {
                Sheet sheet;
                sheet.name = xml.attribute(QLatin1StringView("name")).toString();
                sheet.hidden = hiddenStyles.contains(xml.attribute(QLatin1StringView("style-name")).toString());
                readTable(xml, sheet);
                sheets.push_back(std::move(sheet));
            }
        }
        if (sheets.empty()) m_failing.fail(QStringLiteral("ne contient aucune feuille"));
        return sheets;
    }

private:
    static int repeats(const Xml& xml, QLatin1StringView name) {
        const int count = xml.attribute(name).toInt();
        return count > 0 ? count : 1;
    }

    void readTable(Xml& xml, Sheet& sheet) {
        qint64 line = 0;
        while (xml.next() && !xml.ends(QLatin1StringView("table"))) {
            if (!xml.starts(QLatin1StringView("table-row"))) continue;
            const int rowRepeats = repeats(xml, QLatin1StringView("number-rows-repeated"));
            Row row{line + 1, {}};
            int column = 0;
            while (xml.next() && !xml.ends(QLatin1StringView("table-row"))) {
                if (!xml.starts(QLatin1StringView("table-cell")) && !xml.starts(QLatin1StringView("covered-table-cell"))) continue;
                const int cellRepeats = repeats(xml, QLatin1StringView("number-columns-repeated"));
                const QString text = cellText(xml);
                for (int i = 0; i < cellRepeats && !text.isEmpty() && column + i < kColumnsKept; ++i) {
                    setCell(row.cells, column + i, text);
                }
                column = int(std::min<qint64>(qint64(column) + cellRepeats, kLastColumn));
            }
            // Blank rows, however many a sheet's end repeats, are only counted.
            for (int i = 0; i < rowRepeats && !row.cells.isEmpty() && line + i < kLastRow; ++i) {
                sheet.rows.push_back({line + 1 + i, row.cells});
            }
            line = std::min(line + rowRepeats, kLastRow);
        }
    }

    // The paragraphs of the cell just begun, one per line, as shown; what
    // lies between them (the file's own indentation) and the comments
    // beside the cell left out.
    static QString cellText(Xml& xml) {
        QString text;
        bool firstParagraph = true;
        int inParagraph = 0;
        for (int depth = 1; depth > 0 && xml.next();) {
            if (xml.isText()) {
                if (inParagraph > 0) text += xml.text();
            } else if (xml.isEnd()) {
                --depth;
                if (xml.ends(QLatin1StringView("p"))) --inParagraph;
            } else if (xml.starts(QLatin1StringView("annotation"))) {
                xml.skip();
            } else {
                ++depth;
                if (xml.starts(QLatin1StringView("p"))) {
                    if (!firstParagraph) text += u'\n';
                    firstParagraph = false;
                    ++inParagraph;
                } else if (xml.starts(QLatin1StringView("s"))) {
                    text += QString(std::clamp(xml.attribute(QLatin1StringView("c")).toInt(), 1, 4096), u' ');
                } else if (xml.starts(QLatin1StringView("tab"))) {
                    text += u'\t';
                } else if (xml.starts(QLatin1StringView("line-break"))) {
                    text += u'\n';
                }
            }
        }
        return text;
    }

    const ziparchive::Reader& m_zip;
    Failing m_failing;
};

}  // namespace

bool kindOf(const QString& path, Kind& kind) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xlsx")) kind = Kind::xlsx;
    else if (suffix == QLatin1String("ods")) kind = Kind::ods;
    else return false;
    return true;
}

std::vector<Sheet> read(const QByteArray& bytes, Kind kind, const QString& path) {
    const Failing failing(path);
    std::optional<ziparchive::Reader> zip;
    try {
        zip.emplace(bytes);
    } catch (const ziparchive::Failure&) {
        failing.fail(kind == Kind::xlsx ? QStringLiteral("n'est pas un classeur Excel (.xlsx)\u00A0: ce n'est pas une archive zip")
                                        : QStringLiteral("n'est pas un classeur OpenDocument (.ods)\u00A0: ce n'est pas une archive zip"));
    }
    return kind == Kind::xlsx ? ExcelReader(*zip, path).read() : OdsReader(*zip, path).read();
}

}  // namespace workbook
