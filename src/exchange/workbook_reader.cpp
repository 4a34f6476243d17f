#include "exchange/workbook_reader.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>

#include "exchange/exchange_error.h"
#include "exchange/number_format.h"
#include "exchange/zip_archive.h"

namespace workbook {
namespace {

// What an import can use of any one member: the largest file it reads.
constexpr qint64 kLargestMember = qint64(256) * 1024 * 1024;
// Deeper than any workbook nests its XML.
constexpr int kDeepest = 64;
// More XML than any element, text or cell of a workbook takes, read without
// one coming to an end.
constexpr qsizetype kLongestToken = 1024 * 1024;
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

// What the workbook has unfolded to so far, every cell of every row read
// counted as often as the file repeats it; past a limit, refused.
class Unfolded {
public:
    explicit Unfolded(const Failing& failing) : m_failing(failing) {}

    // A cell's text, growing: refused once longer than a cell can be.
    void checkCell(qsizetype length, const QString& where) const {
        if (length > kLongestCell) {
            m_failing.fail(QStringLiteral("a une cellule de plus de 32\u00A0767 caractères%1, plus qu'un tableur n'en "
                                          "écrit").arg(where));
        }
    }
    // `count` rows holding text, of `characters` characters each.
    void addRows(const QString& sheet, qint64 count, qint64 characters) {
        m_rows += count;
        m_characters += count * characters;
        if (m_rows > kMostRows) {
            m_failing.fail(QStringLiteral("a, dans sa feuille «\u00A0%1\u00A0», plus de lignes qu'un fichier de "
                                          "données ne peut prendre de fiches").arg(sheet));
        }
        checkCharacters();
    }
    void endSheet() { m_rows = 0; }
    void addString(qsizetype characters) {
        m_characters += characters;
        if (++m_strings > kMostSharedStrings) {
            m_failing.fail(QStringLiteral("a plus de textes partagés qu'un classeur de fiches n'en a besoin"));
        }
        checkCharacters();
    }

private:
    void checkCharacters() const {
        if (m_characters > kMostCharacters) {
            m_failing.fail(QStringLiteral("contient plus de texte qu'un import ne peut en prendre (%1 millions de "
                                          "caractères)").arg(kMostCharacters / (1024 * 1024)));
        }
    }

    const Failing& m_failing;
    qint64 m_rows = 0;
    qint64 m_characters = 0;
    qsizetype m_strings = 0;
};

// A cell's reference as a spreadsheet names it: "B3".
QString cellName(int column, qint64 row) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters + QString::number(row);
}

// Characters an Excel file writes as "_x000D_", and "_x005F_" for "_" itself.
QString unescaped(QString text) {
    if (!text.contains(QLatin1String("_x"))) return text;
    const auto isHex = [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); };
    QString out;
    out.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const bool escape = at + 7 <= text.size() && text[at] == u'_' && text[at + 1] == u'x' && text[at + 6] == u'_' &&
                            std::all_of(text.begin() + at + 2, text.begin() + at + 6, isHex);
        if (escape) {
            out += QChar(char16_t(QStringView(text).mid(at + 2, 4).toUShort(nullptr, 16)));
            at += 6;
        } else {
            out += text[at];
        }
    }
    return out;
}

// The hours, minutes and whole seconds of an ISO duration as a sheet
// writes a time, "PT12H30M00S" or "PT1,5S"; none for another text.
std::optional<std::array<int, 3>> durationParts(QStringView text) {
    if (text.startsWith(u'-')) text = text.mid(1);
    if (!text.startsWith(QLatin1String("PT"))) return std::nullopt;
    text = text.mid(2);
    std::array<int, 3> parts{0, 0, 0};
    int next = 0;  // H, then M, then S
    const QString units = QStringLiteral("HMS");
    while (!text.isEmpty()) {
        qsizetype digits = 0;
        while (digits < text.size() && text[digits].isDigit() && text[digits].unicode() < 128) ++digits;
        if (digits == 0) return std::nullopt;
        const int value = text.left(digits).toInt();
        text = text.mid(digits);
        // Seconds may have a fraction, which is not shown.
        if ((text.startsWith(u'.') || text.startsWith(u',')) && next <= 2) {
            qsizetype fraction = 1;
            while (fraction < text.size() && text[fraction].isDigit() && text[fraction].unicode() < 128) ++fraction;
            if (fraction == 1 || !text.mid(fraction).startsWith(u'S')) return std::nullopt;
            text = text.mid(fraction);
        }
        if (text.isEmpty()) return std::nullopt;
        const qsizetype unit = units.indexOf(text.front());
        if (unit < next) return std::nullopt;
        parts[std::size_t(unit)] = value;
        next = int(unit) + 1;
        text = text.mid(1);
    }
    return parts;
}

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
            if (token != QXmlStreamReader::Invalid) m_unread = 0;
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
        m_unread += piece.size();
        if (m_unread > kLongestToken) {
            m_failing.fail(QStringLiteral("a une partie «\u00A0%1\u00A0» dont un élément dépasse %2 Mo")
                               .arg(m_member)
                               .arg(kLongestToken / (1024 * 1024)));
        }
        m_reader.addData(piece);
    }

    QXmlStreamReader m_reader;
    std::unique_ptr<ziparchive::Reader::Stream> m_stream;
    bool m_ended = false;
    QString m_member;
    const Failing& m_failing;
    int m_depth = 0;
    qsizetype m_unread = 0;  // bytes given the reader since its last token
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

QString excelValueAsShown(double value, int style, const ExcelStyles& styles) {
    const int format = style >= 0 && std::size_t(style) < styles.formatOfStyle.size() ? styles.formatOfStyle[std::size_t(style)] : 0;
    const QString code = styles.customFormats.contains(format) ? styles.customFormats.value(format) : numberformat::builtIn(format);
    return numberformat::shown(value, code, styles.date1904);
}

// The element's text, its runs joined, phonetic guides left out.
QString runsOf(Xml& xml, QLatin1StringView element, const Unfolded& unfolded, const QString& where) {
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
            unfolded.checkCell(text.size() + xml.text().size(), where);
            text += xml.text();
        }
    }
    return unescaped(text);
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
    ExcelReader(const ziparchive::Reader& zip, const QString& path) : m_zip(zip), m_failing(path), m_unfolded(m_failing) {}

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
                m_strings.append(runsOf(xml, QLatin1StringView("si"), m_unfolded,
                                        QStringLiteral(" (texte partagé n°\u00A0%1)").arg(m_strings.size())));
                m_strings.back().squeeze();
                m_unfolded.addString(m_strings.back().size());
            }
        }
    }

    void readSheet(const QString& name, Sheet& sheet) {
        Xml xml(m_zip, name, m_failing);
        Row row;
        qint64 lastLine = 0;  // every row's, those without text too
        int nextColumn = 0;
        while (xml.next()) {
            if (xml.starts(QLatin1StringView("row"))) {
                const qint64 number = xml.attribute(QLatin1StringView("r")).toLongLong();
                row = Row{number > 0 ? number : lastLine + 1, {}};
                lastLine = row.line;
                if (row.line > kLastRow) m_failing.fail(QStringLiteral("a une ligne %1, au-delà de la dernière").arg(row.line));
                nextColumn = 0;
            } else if (xml.ends(QLatin1StringView("row"))) {
                if (!row.cells.isEmpty()) {
                    m_unfolded.addRows(sheet.name, 1, textOf(row.cells));
                    sheet.rows.push_back(std::move(row));
                }
                row = Row{};
            } else if (xml.starts(QLatin1StringView("c"))) {
                readCell(xml, row, nextColumn, sheet);
            }
        }
        m_unfolded.endSheet();
    }

    void readCell(Xml& xml, Row& row, int& nextColumn, Sheet& sheet) {
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
        const QString where = QStringLiteral(" (feuille «\u00A0%1\u00A0», cellule %2)").arg(sheet.name, cellName(column, row.line));
        QString value;
        QString inlineText;
        bool formula = false;
        while (xml.next() && !xml.ends(QLatin1StringView("c"))) {
            if (xml.starts(QLatin1StringView("v"))) {
                while (xml.next() && !xml.ends(QLatin1StringView("v"))) {
                    if (!xml.isText()) continue;
                    m_unfolded.checkCell(value.size() + xml.text().size(), where);
                    value += xml.text();
                }
            } else if (xml.starts(QLatin1StringView("is"))) {
                inlineText = runsOf(xml, QLatin1StringView("is"), m_unfolded, where);
            } else if (xml.starts(QLatin1StringView("f"))) {
                formula = true;
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
        } else if (formula && value.isEmpty()) {
            sheet.uncomputed.append(cellName(column, row.line));
        } else if (type == QLatin1String("b")) {
            shown = value.isEmpty() ? QString() : value == QLatin1String("1") ? QStringLiteral("VRAI") : QStringLiteral("FAUX");
        } else if (type == QLatin1String("str")) {
            shown = unescaped(value);
        } else if (type == QLatin1String("e") || value.isEmpty()) {
            shown = value;
        } else {
            bool number = false;
            const double parsed = value.toDouble(&number);
            shown = number ? excelValueAsShown(parsed, style, m_styles) : value;
        }
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        setCell(row.cells, column, std::move(shown));
    }

    static qint64 textOf(const QStringList& cells) {
        qint64 characters = 0;
        for (const QString& cell : cells) characters += cell.size();
        return characters;
    }

    const ziparchive::Reader& m_zip;
    Failing m_failing;
    Unfolded m_unfolded;
    ExcelStyles m_styles;
    QStringList m_strings;
};

// --- OpenDocument

class OdsReader {
public:
    OdsReader(const ziparchive::Reader& zip, const QString& path) : m_zip(zip), m_failing(path), m_unfolded(m_failing) {}

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
            qint64 characters = 0;
            int column = 0;
            while (xml.next() && !xml.ends(QLatin1StringView("table-row"))) {
                if (!xml.starts(QLatin1StringView("table-cell")) && !xml.starts(QLatin1StringView("covered-table-cell"))) continue;
                const int cellRepeats = repeats(xml, QLatin1StringView("number-columns-repeated"));
                const QString where = QStringLiteral(" (feuille «\u00A0%1\u00A0», cellule %2)").arg(sheet.name, cellName(column, line + 1));
                const bool formula = !xml.attribute(QLatin1StringView("formula")).isEmpty();
                const QString value = valueShown(xml);
                QString text = cellText(xml, where);
                // A number or a date written without the text it shows.
                if (text.isEmpty()) text = value;
                if (text.isEmpty() && formula) sheet.uncomputed.append(cellName(column, line + 1));
                for (int i = 0; i < cellRepeats && !text.isEmpty() && column + i < kColumnsKept; ++i) {
                    setCell(row.cells, column + i, text);
                    characters += text.size();
                }
                column = int(std::min<qint64>(qint64(column) + cellRepeats, kLastColumn));
            }
            // Blank rows, however many a sheet's end repeats, are only
            // counted; rows holding text count as often as they come,
            // before they are made.
            if (!row.cells.isEmpty()) {
                const qint64 kept = std::min<qint64>(rowRepeats, kLastRow - line);
                m_unfolded.addRows(sheet.name, kept, characters);
                for (qint64 i = 0; i < kept; ++i) sheet.rows.push_back({line + 1 + i, row.cells});
            }
            line = std::min(line + rowRepeats, kLastRow);
        }
        m_unfolded.endSheet();
    }

    // What a cell of a value type shows, read from its value: for files
    // that write no text for it (odfpy does so).
    static QString valueShown(const Xml& xml) {
        const QStringView type = xml.attribute(QLatin1StringView("value-type"));
        const QString value = xml.attribute(QLatin1StringView("value")).toString();
        bool number = false;
        const double parsed = value.toDouble(&number);
        if (type == QLatin1String("float") && number) return numberformat::general(parsed);
        if (type == QLatin1String("percentage") && number) return numberformat::general(parsed * 100) + QStringLiteral("\u00A0%");
        if (type == QLatin1String("currency") && number) {
            const QString currency = xml.attribute(QLatin1StringView("currency")).toString();
            return numberformat::general(parsed) + (currency.isEmpty() ? QString() : u'\u00A0' + currency);
        }
        if (type == QLatin1String("boolean")) {
            return xml.attribute(QLatin1StringView("boolean-value")) == QLatin1String("true") ? QStringLiteral("VRAI")
                                                                                               : QStringLiteral("FAUX");
        }
        if (type == QLatin1String("string")) return xml.attribute(QLatin1StringView("string-value")).toString();
        if (type == QLatin1String("date")) {
            const QString date = xml.attribute(QLatin1StringView("date-value")).toString();
            const QDateTime at = QDateTime::fromString(date, Qt::ISODate);
            if (!at.isValid()) return date;
            if (!date.contains(u'T')) return at.date().toString(QStringLiteral("dd/MM/yyyy"));
            return at.toString(at.time().second() == 0 ? QStringLiteral("dd/MM/yyyy HH:mm") : QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        }
        if (type == QLatin1String("time")) {
            // "PT12H30M00S", a duration.
            const QString duration = xml.attribute(QLatin1StringView("time-value")).toString();
            const auto parts = durationParts(duration);
            if (!parts) return duration;
            return QStringLiteral("%1:%2:%3")
                .arg((*parts)[0], 2, 10, QLatin1Char('0'))
                .arg((*parts)[1], 2, 10, QLatin1Char('0'))
                .arg((*parts)[2], 2, 10, QLatin1Char('0'));
        }
        return {};
    }

    // The paragraphs of the cell just begun, one per line, as shown; what
    // lies between them (the file's own indentation) and the comments
    // beside the cell left out.
    QString cellText(Xml& xml, const QString& where) const {
        QString text;
        const auto add = [&](QStringView more) {
            m_unfolded.checkCell(text.size() + more.size(), where);
            text += more;
        };
        bool firstParagraph = true;
        int inParagraph = 0;
        for (int depth = 1; depth > 0 && xml.next();) {
            if (xml.isText()) {
                if (inParagraph > 0) add(xml.text());
            } else if (xml.isEnd()) {
                --depth;
                if (xml.ends(QLatin1StringView("p"))) --inParagraph;
            } else if (xml.starts(QLatin1StringView("annotation"))) {
                xml.skip();
            } else {
                ++depth;
                if (xml.starts(QLatin1StringView("p"))) {
                    if (!firstParagraph) add(u"\n");
                    firstParagraph = false;
                    ++inParagraph;
                } else if (xml.starts(QLatin1StringView("s"))) {
                    const int spaces = std::clamp(xml.attribute(QLatin1StringView("c")).toInt(), 1, int(kLongestCell) + 1);
                    m_unfolded.checkCell(text.size() + spaces, where);
                    text += QString(spaces, u' ');
                } else if (xml.starts(QLatin1StringView("tab"))) {
                    add(u"\t");
                } else if (xml.starts(QLatin1StringView("line-break"))) {
                    add(u"\n");
                }
            }
        }
        return text;
    }

    const ziparchive::Reader& m_zip;
    Failing m_failing;
    Unfolded m_unfolded;
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
