#include "exchange/workbook_writer.h"

#include <QIODevice>
#include <QXmlStreamWriter>
#include <algorithm>

#include "exchange/card_table.h"
#include "exchange/zip_archive.h"

namespace {

// Columns no narrower or wider than this, in characters.
constexpr int kNarrowest = 8;
constexpr int kWidest = 60;

QString columnName(int column) {
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

QByteArray xml(const std::function<void(QXmlStreamWriter&)>& body) {
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.writeStartDocument(QStringLiteral("1.0"), true);
    body(writer);
    writer.writeEndDocument();
    return bytes;
}

}  // namespace

WorkbookWriter::WorkbookWriter(QIODevice& out, workbook::Kind kind, const QString& source, const QString& target)
    : WorkbookWriter(out, kind, cardtable::titles(source, target), cardtable::kNumberColumn) {}

WorkbookWriter::WorkbookWriter(QIODevice& out, workbook::Kind kind, const QStringList& titles, qsizetype numberColumn)
    : m_out(out), m_kind(kind), m_numberColumn(numberColumn) {
    m_rows.push_back(titles);
}

void WorkbookWriter::write(const CardText& card) { writeRow(cardtable::row(card)); }

void WorkbookWriter::writeRow(QStringList row) {
    // A spreadsheet breaks a cell's lines with a line feed alone.
    for (QString& cell : row) {
        cell = exchangeable(cell);
        cell.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        cell.replace(u'\r', u'\n');
    }
    m_rows.push_back(std::move(row));
}

std::vector<int> WorkbookWriter::widths() const {
    std::vector<int> widths(m_rows.front().size(), kNarrowest);
    for (const QStringList& row : m_rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            for (const QStringView line : QStringView(row[c]).split(u'\n')) {
                widths[std::size_t(c)] = std::max(widths[std::size_t(c)], int(std::min<qsizetype>(line.size() + 2, kWidest)));
            }
        }
    }
    return widths;
}

bool WorkbookWriter::finish() {
    const QByteArray bytes = m_kind == workbook::Kind::xlsx ? excel() : openDocument();
    return m_out.write(bytes) == bytes.size();
}

QByteArray WorkbookWriter::excel() const {
    const QString package = QStringLiteral("http://schemas.openxmlformats.org/package/2006/relationships");
    const QString officeRelations = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    const QString main = QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");
    ziparchive::Writer zip;
    zip.add(QStringLiteral("[Content_Types].xml"), xml([](QXmlStreamWriter& w) {
        w.writeStartElement(QStringLiteral("Types"));
        w.writeDefaultNamespace(QStringLiteral("http://schemas.openxmlformats.org/package/2006/content-types"));
        w.writeEmptyElement(QStringLiteral("Default"));
        w.writeAttribute(QStringLiteral("Extension"), QStringLiteral("rels"));
        w.writeAttribute(QStringLiteral("ContentType"), QStringLiteral("application/vnd.openxmlformats-package.relationships+xml"));
        w.writeEmptyElement(QStringLiteral("Default"));
        w.writeAttribute(QStringLiteral("Extension"), QStringLiteral("xml"));
        w.writeAttribute(QStringLiteral("ContentType"), QStringLiteral("application/xml"));
        const std::pair<const char*, const char*> parts[] = {
            {"/xl/workbook.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"},
            {"/xl/worksheets/sheet1.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"},
            {"/xl/styles.xml", "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"}};
        for (const auto& [part, type] : parts) {
            w.writeEmptyElement(QStringLiteral("Override"));
            w.writeAttribute(QStringLiteral("PartName"), QLatin1String(part));
            w.writeAttribute(QStringLiteral("ContentType"), QLatin1String(type));
        }
        w.writeEndElement();
    }));
    const auto relations = [&](const QString& id, const QString& type, const QString& target) {
        return xml([&](QXmlStreamWriter& w) {
            w.writeStartElement(QStringLiteral("Relationships"));
            w.writeDefaultNamespace(package);
            w.writeEmptyElement(QStringLiteral("Relationship"));
            w.writeAttribute(QStringLiteral("Id"), id);
            w.writeAttribute(QStringLiteral("Type"), officeRelations + u'/' + type);
            w.writeAttribute(QStringLiteral("Target"), target);
            w.writeEndElement();
        });
    };
    zip.add(QStringLiteral("_rels/.rels"), relations(QStringLiteral("rId1"), QStringLiteral("officeDocument"), QStringLiteral("xl/workbook.xml")));
    QByteArray workbookRelations = xml([&](QXmlStreamWriter& w) {
        w.writeStartElement(QStringLiteral("Relationships"));
        w.writeDefaultNamespace(package);
        const std::pair<const char*, const char*> targets[] = {{"worksheet", "worksheets/sheet1.xml"}, {"styles", "styles.xml"}};
        int id = 0;
        for (const auto& [type, target] : targets) {
            w.writeEmptyElement(QStringLiteral("Relationship"));
            w.writeAttribute(QStringLiteral("Id"), QStringLiteral("rId%1").arg(++id));
            w.writeAttribute(QStringLiteral("Type"), officeRelations + u'/' + QLatin1String(type));
            w.writeAttribute(QStringLiteral("Target"), QLatin1String(target));
        }
        w.writeEndElement();
    });
    zip.add(QStringLiteral("xl/_rels/workbook.xml.rels"), workbookRelations);
    zip.add(QStringLiteral("xl/workbook.xml"), xml([&](QXmlStreamWriter& w) {
        w.writeStartElement(QStringLiteral("workbook"));
        w.writeDefaultNamespace(main);
        w.writeNamespace(officeRelations, QStringLiteral("r"));
        w.writeStartElement(QStringLiteral("sheets"));
        w.writeEmptyElement(QStringLiteral("sheet"));
        w.writeAttribute(QStringLiteral("name"), QStringLiteral("Fiches"));
        w.writeAttribute(QStringLiteral("sheetId"), QStringLiteral("1"));
        w.writeAttribute(officeRelations, QStringLiteral("id"), QStringLiteral("rId1"));
        w.writeEndElement();
        w.writeEndElement();
    }));
    // Style 0: text ("@", format 49), wrapped; style 1: the same, bold;
    // style 2: a number, shown as it is (general format).
    zip.add(QStringLiteral("xl/styles.xml"), xml([&](QXmlStreamWriter& w) {
        w.writeStartElement(QStringLiteral("styleSheet"));
        w.writeDefaultNamespace(main);
        w.writeStartElement(QStringLiteral("fonts"));
        w.writeAttribute(QStringLiteral("count"), QStringLiteral("2"));
        w.writeStartElement(QStringLiteral("font"));
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("font"));
        w.writeEmptyElement(QStringLiteral("b"));
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("fills"));
        w.writeAttribute(QStringLiteral("count"), QStringLiteral("1"));
        w.writeStartElement(QStringLiteral("fill"));
        w.writeEmptyElement(QStringLiteral("patternFill"));
        w.writeAttribute(QStringLiteral("patternType"), QStringLiteral("none"));
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("borders"));
        w.writeAttribute(QStringLiteral("count"), QStringLiteral("1"));
        w.writeEmptyElement(QStringLiteral("border"));
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("cellXfs"));
        w.writeAttribute(QStringLiteral("count"), QStringLiteral("3"));
        for (const auto& [format, font] : {std::pair{"49", "0"}, std::pair{"49", "1"}, std::pair{"0", "0"}}) {
            w.writeStartElement(QStringLiteral("xf"));
            w.writeAttribute(QStringLiteral("numFmtId"), QLatin1String(format));
            w.writeAttribute(QStringLiteral("fontId"), QLatin1String(font));
            w.writeAttribute(QStringLiteral("applyNumberFormat"), QStringLiteral("1"));
            w.writeAttribute(QStringLiteral("applyAlignment"), QStringLiteral("1"));
            w.writeEmptyElement(QStringLiteral("alignment"));
            w.writeAttribute(QStringLiteral("vertical"), QStringLiteral("top"));
            w.writeAttribute(QStringLiteral("wrapText"), QStringLiteral("1"));
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeEndElement();
    }));
    const std::vector<int> columnWidths = widths();
    zip.add(QStringLiteral("xl/worksheets/sheet1.xml"), xml([&](QXmlStreamWriter& w) {
        w.writeStartElement(QStringLiteral("worksheet"));
        w.writeDefaultNamespace(main);
        w.writeStartElement(QStringLiteral("sheetViews"));
        w.writeStartElement(QStringLiteral("sheetView"));
        w.writeAttribute(QStringLiteral("workbookViewId"), QStringLiteral("0"));
        w.writeEmptyElement(QStringLiteral("pane"));
        w.writeAttribute(QStringLiteral("ySplit"), QStringLiteral("1"));
        w.writeAttribute(QStringLiteral("topLeftCell"), QStringLiteral("A2"));
        w.writeAttribute(QStringLiteral("activePane"), QStringLiteral("bottomLeft"));
        w.writeAttribute(QStringLiteral("state"), QStringLiteral("frozen"));
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("cols"));
        for (std::size_t c = 0; c < columnWidths.size(); ++c) {
            w.writeEmptyElement(QStringLiteral("col"));
            w.writeAttribute(QStringLiteral("min"), QString::number(c + 1));
            w.writeAttribute(QStringLiteral("max"), QString::number(c + 1));
            w.writeAttribute(QStringLiteral("width"), QString::number(columnWidths[c]));
            w.writeAttribute(QStringLiteral("customWidth"), QStringLiteral("1"));
        }
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("sheetData"));
        for (std::size_t r = 0; r < m_rows.size(); ++r) {
            w.writeStartElement(QStringLiteral("row"));
            w.writeAttribute(QStringLiteral("r"), QString::number(r + 1));
            for (qsizetype c = 0; c < m_rows[r].size(); ++c) {
                const QString& cell = m_rows[r][c];
                if (cell.isEmpty()) continue;  // an empty field, no cell
                w.writeStartElement(QStringLiteral("c"));
                w.writeAttribute(QStringLiteral("r"), columnName(int(c)) + QString::number(r + 1));
                if (r > 0 && c == m_numberColumn) {
                    w.writeAttribute(QStringLiteral("s"), QStringLiteral("2"));
                    w.writeTextElement(QStringLiteral("v"), cell);
                    w.writeEndElement();
                    continue;
                }
                // Inline strings: text, never a formula, whatever it begins with.
                w.writeAttribute(QStringLiteral("t"), QStringLiteral("inlineStr"));
                if (r == 0) w.writeAttribute(QStringLiteral("s"), QStringLiteral("1"));
                w.writeStartElement(QStringLiteral("is"));
                w.writeStartElement(QStringLiteral("t"));
                w.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
                w.writeCharacters(cell);
                w.writeEndElement();
                w.writeEndElement();
                w.writeEndElement();
            }
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeEndElement();
    }));
    return zip.finish();
}

QByteArray WorkbookWriter::openDocument() const {
    const QString office = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
    const QString style = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
    const QString table = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
    const QString text = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
    const QString fo = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0");
    const QString config = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:config:1.0");
    const QString manifest = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
    const QString mime = QStringLiteral("application/vnd.oasis.opendocument.spreadsheet");
    ziparchive::Writer zip;
    zip.add(QStringLiteral("mimetype"), mime.toLatin1(), true);  // first and stored, as the format asks
    zip.add(QStringLiteral("META-INF/manifest.xml"), xml([&](QXmlStreamWriter& w) {
        w.writeNamespace(manifest, QStringLiteral("manifest"));
        w.writeStartElement(manifest, QStringLiteral("manifest"));
        w.writeAttribute(manifest, QStringLiteral("version"), QStringLiteral("1.2"));
        const std::pair<QString, QString> entries[] = {{QStringLiteral("/"), mime},
                                                       {QStringLiteral("content.xml"), QStringLiteral("text/xml")},
                                                       {QStringLiteral("settings.xml"), QStringLiteral("text/xml")}};
        for (const auto& [path, type] : entries) {
            w.writeEmptyElement(manifest, QStringLiteral("file-entry"));
            w.writeAttribute(manifest, QStringLiteral("full-path"), path);
            w.writeAttribute(manifest, QStringLiteral("media-type"), type);
            if (path == QLatin1String("/")) w.writeAttribute(manifest, QStringLiteral("version"), QStringLiteral("1.2"));
        }
        w.writeEndElement();
    }));
    // The header row frozen: the view splits below it.
    zip.add(QStringLiteral("settings.xml"), xml([&](QXmlStreamWriter& w) {
        w.writeNamespace(office, QStringLiteral("office"));
        w.writeNamespace(config, QStringLiteral("config"));
        w.writeStartElement(office, QStringLiteral("document-settings"));
        w.writeAttribute(office, QStringLiteral("version"), QStringLiteral("1.2"));
        w.writeStartElement(office, QStringLiteral("settings"));
        w.writeStartElement(config, QStringLiteral("config-item-set"));
        w.writeAttribute(config, QStringLiteral("name"), QStringLiteral("ooo:view-settings"));
        w.writeStartElement(config, QStringLiteral("config-item-map-indexed"));
        w.writeAttribute(config, QStringLiteral("name"), QStringLiteral("Views"));
        w.writeStartElement(config, QStringLiteral("config-item-map-entry"));
        w.writeStartElement(config, QStringLiteral("config-item-map-named"));
        w.writeAttribute(config, QStringLiteral("name"), QStringLiteral("Tables"));
        w.writeStartElement(config, QStringLiteral("config-item-map-entry"));
        w.writeAttribute(config, QStringLiteral("name"), QStringLiteral("Fiches"));
        const std::tuple<const char*, const char*, const char*> items[] = {
            {"VerticalSplitMode", "short", "2"}, {"VerticalSplitPosition", "int", "1"},
            {"ActiveSplitRange", "short", "2"},  {"PositionBottom", "int", "1"}};
        for (const auto& [name, type, value] : items) {
            w.writeStartElement(config, QStringLiteral("config-item"));
            w.writeAttribute(config, QStringLiteral("name"), QLatin1String(name));
            w.writeAttribute(config, QStringLiteral("type"), QLatin1String(type));
            w.writeCharacters(QLatin1String(value));
            w.writeEndElement();
        }
        for (int i = 0; i < 5; ++i) w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    }));
    const std::vector<int> columnWidths = widths();
    zip.add(QStringLiteral("content.xml"), xml([&](QXmlStreamWriter& w) {
        w.writeNamespace(office, QStringLiteral("office"));
        w.writeNamespace(style, QStringLiteral("style"));
        w.writeNamespace(table, QStringLiteral("table"));
        w.writeNamespace(text, QStringLiteral("text"));
        w.writeNamespace(fo, QStringLiteral("fo"));
        w.writeStartElement(office, QStringLiteral("document-content"));
        w.writeAttribute(office, QStringLiteral("version"), QStringLiteral("1.2"));
        w.writeStartElement(office, QStringLiteral("automatic-styles"));
        for (std::size_t c = 0; c < columnWidths.size(); ++c) {
            w.writeStartElement(style, QStringLiteral("style"));
            w.writeAttribute(style, QStringLiteral("name"), QStringLiteral("co%1").arg(c + 1));
            w.writeAttribute(style, QStringLiteral("family"), QStringLiteral("table-column"));
            w.writeEmptyElement(style, QStringLiteral("table-column-properties"));
            // About a fifth of a centimetre per character of the default font.
            w.writeAttribute(style, QStringLiteral("column-width"), QStringLiteral("%1cm").arg(columnWidths[c] * 0.2, 0, 'f', 2));
            w.writeEndElement();
        }
        w.writeStartElement(style, QStringLiteral("style"));
        w.writeAttribute(style, QStringLiteral("name"), QStringLiteral("ce1"));
        w.writeAttribute(style, QStringLiteral("family"), QStringLiteral("table-cell"));
        w.writeEmptyElement(style, QStringLiteral("text-properties"));
        w.writeAttribute(fo, QStringLiteral("font-weight"), QStringLiteral("bold"));
        w.writeEndElement();
        w.writeEndElement();
        w.writeStartElement(office, QStringLiteral("body"));
        w.writeStartElement(office, QStringLiteral("spreadsheet"));
        w.writeStartElement(table, QStringLiteral("table"));
        w.writeAttribute(table, QStringLiteral("name"), QStringLiteral("Fiches"));
        for (std::size_t c = 0; c < columnWidths.size(); ++c) {
            w.writeEmptyElement(table, QStringLiteral("table-column"));
            w.writeAttribute(table, QStringLiteral("style-name"), QStringLiteral("co%1").arg(c + 1));
        }
        w.writeStartElement(table, QStringLiteral("table-header-rows"));
        for (std::size_t r = 0; r < m_rows.size(); ++r) {
            w.writeStartElement(table, QStringLiteral("table-row"));
            for (qsizetype c = 0; c < m_rows[r].size(); ++c) {
                const QString& cell = m_rows[r][c];
                w.writeStartElement(table, QStringLiteral("table-cell"));
                if (cell.isEmpty()) {  // an empty field, an empty cell
                    w.writeEndElement();
                    continue;
                }
                if (r > 0 && c == m_numberColumn) {
                    w.writeAttribute(office, QStringLiteral("value-type"), QStringLiteral("float"));
                    w.writeAttribute(office, QStringLiteral("value"), cell);
                } else {
                    w.writeAttribute(office, QStringLiteral("value-type"), QStringLiteral("string"));
                }
                if (r == 0) w.writeAttribute(table, QStringLiteral("style-name"), QStringLiteral("ce1"));
                // One paragraph per line; runs of spaces and tabs as the format keeps them.
                for (const QStringView line : QStringView(cell).split(u'\n')) {
                    w.writeStartElement(text, QStringLiteral("p"));
                    QString pending;
                    const auto flush = [&] {
                        if (!pending.isEmpty()) w.writeCharacters(pending);
                        pending.clear();
                    };
                    for (qsizetype i = 0; i < line.size();) {
                        if (line[i] == u'\t') {
                            flush();
                            w.writeEmptyElement(text, QStringLiteral("tab"));
                            ++i;
                        } else if (line[i] == u' ') {
                            qsizetype run = i;
                            while (run < line.size() && line[run] == u' ') ++run;
                            // A reader collapses spaces but a single one between words.
                            if (run - i == 1 && i > 0 && run < line.size()) {
                                pending += u' ';
                            } else {
                                flush();
                                w.writeEmptyElement(text, QStringLiteral("s"));
                                w.writeAttribute(text, QStringLiteral("c"), QString::number(run - i));
                            }
                            i = run;
                        } else {
                            pending += line[i++];
                        }
                    }
                    flush();
                    w.writeEndElement();
                }
                w.writeEndElement();
            }
            w.writeEndElement();
            if (r == 0) w.writeEndElement();  // the header rows
        }
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
        w.writeEndElement();
    }));
    return zip.finish();
}
