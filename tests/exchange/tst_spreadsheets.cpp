#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "client_run.h"
#include "exchange/card_export.h"
#include "exchange/card_import.h"
#include "exchange/csv_writer.h"
#include "exchange/exchange_error.h"
#include "exchange/glossary_cards.h"
#include "exchange/zip_archive.h"
#include "store/data_file.h"
#include "support/card_files.h"

// Workbooks both ways with clients nobody here wrote: LibreOffice, openpyxl
// and odfpy; and the workbooks an import must refuse.
namespace {

const QString kScript = QStringLiteral(CLIENT_SCRIPTS "/clients.py");
const QString kGlossaries = QStringLiteral(GLOSSARIES);

// What a card's fields hold, as the clients should find them.
QList<cardfiles::Card> cards() {
    return {{1, "œuvre", "work", "œuvre (n. f.)", "work", "Robert, p. 3", "", "Une œuvre « majeure »."},
            {2, "=SUM(A1)", "+plus", "-moins", "@arobase", "Littré", "note", "Première ligne.\nDeuxième ligne."},
            {3, "  élève", "pupil; student", "élève", "pupil", "Hachette, 2001", "a,b", QString(990, u'c')}};
}

QList<QStringList> rowsOf(const QJsonArray& array) {
    QList<QStringList> rows;
    for (const QJsonValue& row : array) {
        QStringList cells;
        for (const QJsonValue& cell : row.toArray()) cells.append(cell.toString());
        rows.append(cells);
    }
    return rows;
}

// An entry the same as its term is left empty: an import takes the term for it.
QList<QStringList> expectedRows() {
    QList<QStringList> rows{{"N° fiche", "Expression (fr)", "Traduction (en)", "Entrées texte source",
                             "Entrées texte cible", "Miscellanea", "Référence", "Contexte"}};
    for (const cardfiles::Card& card : cards()) {
        rows.append({QString::number(card.numero), card.expression, card.traduction,
                     card.dictionnaire == card.expression ? QString() : card.dictionnaire,
                     card.dictionnairecible == card.traduction ? QString() : card.dictionnairecible,
                     card.miscellanea, card.reference, card.contexte});
    }
    return rows;
}

QString failureOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const ExchangeError& error) {
        return error.message();
    }
    return {};
}

// A zip archive of the given members.
void zipOf(const QString& path, const QList<std::pair<QString, QByteArray>>& members) {
    ziparchive::Writer zip;
    for (const auto& [name, bytes] : members) zip.add(name, bytes);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(zip.finish());
}

}  // namespace

class TestSpreadsheets : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_python;
    QString m_office;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    void exportTo(const QString& to, cardexport::Format format) {
        const QString data = path(QStringLiteral("export.dat"));
        cardfiles::write(data, cards());
        DataFile file = DataFile::open(data);
        cardexport::Options options;
        options.format = format;
        options.sourceLanguage = QStringLiteral("fr");
        options.targetLanguage = QStringLiteral("en");
        QVERIFY(cardexport::exportCards(file, {1, 2, 3}, to, options, {}));
    }

    // LibreOffice converts a file to another format, in the same folder; a
    // table's columns read as `columns` says ("1/2": column 1 text).
    QString converted(const QString& from, const QString& to, const QString& columns = {}) {
        QStringList arguments{QStringLiteral("-env:UserInstallation=file://") + path(QStringLiteral("office")),
                              QStringLiteral("--headless")};
        if (!columns.isEmpty()) arguments << QStringLiteral("--infilter=CSV:44,34,76,1,") + columns;
        arguments << QStringLiteral("--convert-to") << to << QStringLiteral("--outdir") << QFileInfo(from).path() << from;
        runClient(m_office, arguments);
        return QFileInfo(from).path() + u'/' + QFileInfo(from).completeBaseName() + u'.' + to.section(u':', 0, 0);
    }

private slots:
    void initTestCase() {
        const QString python = QStringLiteral("/usr/bin/python3");
        if (QFile::exists(python) && runClient(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl, odf")}).exitCode == 0) {
            m_python = python;
        }
        m_office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    }

    // What the export writes, each client reads cell for cell as the cards hold them.
    void eachClientReadsTheExportCellForCell_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("client");
        QTest::newRow("xlsx, openpyxl") << int(cardexport::Format::xlsx) << "python";
        QTest::newRow("ods, odfpy") << int(cardexport::Format::ods) << "python";
        QTest::newRow("xlsx, LibreOffice") << int(cardexport::Format::xlsx) << "office";
        QTest::newRow("ods, LibreOffice") << int(cardexport::Format::ods) << "office";
    }
    void eachClientReadsTheExportCellForCell() {
        QFETCH(int, format);
        QFETCH(QString, client);
        const bool xlsx = format == int(cardexport::Format::xlsx);
        const QString workbook = path(client + (xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".ods")));
        exportTo(workbook, cardexport::Format(format));
        QList<QStringList> rows;
        if (client == QLatin1String("python")) {
            if (m_python.isEmpty()) QSKIP("no Python with openpyxl and odfpy here (python3-openpyxl, python3-odf)");
            const ClientRun read = runClient(m_python, {kScript, QStringLiteral("read-workbook"), workbook});
            QCOMPARE(read.exitCode, 0);
            rows = rowsOf(QJsonDocument::fromJson(read.out).array());
        } else {
            if (m_office.isEmpty()) QSKIP("no LibreOffice here (libreoffice-calc-nogui)");
            // As shown, UTF-8, "," and quotes, every cell quoted.
            const QString csv = converted(workbook, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,true"));
            const ClientRun read = runClient(QStringLiteral("/usr/bin/python3"), {kScript, QStringLiteral("read-csv"), csv, QStringLiteral(",")});
            rows = rowsOf(QJsonDocument::fromJson(read.out).array());
        }
        QCOMPARE(rows, expectedRows());
    }

    // What each client writes imports with every field right: openpyxl and
    // odfpy from rows; LibreOffice from a table of 5,000 rows.
    void eachClientsWorkbookImports_data() {
        QTest::addColumn<QString>("workbook");
        QTest::newRow("openpyxl") << "openpyxl.xlsx";
        QTest::newRow("odfpy") << "odfpy.ods";
        QTest::newRow("LibreOffice, xlsx") << "office.xlsx";
        QTest::newRow("LibreOffice, ods") << "office.ods";
    }
    void eachClientsWorkbookImports() {
        QFETCH(QString, workbook);
        const bool office = workbook.startsWith(QLatin1String("office"));
        if (office && m_office.isEmpty()) QSKIP("no LibreOffice here (libreoffice-calc-nogui)");
        if (!office && m_python.isEmpty()) QSKIP("no Python with openpyxl and odfpy here (python3-openpyxl, python3-odf)");
        QList<QStringList> rows = expectedRows();
        const int copies = office ? 5000 / 3 : 1;
        for (int copy = 1; copy < copies; ++copy) {
            for (int card = 1; card <= 3; ++card) {
                QStringList row = rows[card];
                row[1] += QStringLiteral(" %1").arg(copy);
                rows.append(row);
            }
        }
        const QString file = path(workbook);
        if (office) {
            const QString csv = path(QStringLiteral("office.csv"));
            QFile out(csv);
            QVERIFY(out.open(QIODevice::WriteOnly));
            CsvWriter writer(out, u',', QStringLiteral("fr"), QStringLiteral("en"));
            for (qsizetype r = 1; r < rows.size(); ++r) {
                CardText card;
                card.numero = rows[r][0].toInt();
                const Module1::Field fields[] = {Module1::Field::expression, Module1::Field::traduction, Module1::Field::dictionnaire,
                                                 Module1::Field::dictionnairecible, Module1::Field::miscellanea,
                                                 Module1::Field::reference, Module1::Field::contexte};
                for (int f = 0; f < 7; ++f) card[fields[f]] = rows[r][f + 1];
                writer.write(card);
            }
            out.close();
            // The card number a number cell, every other column text (so "=SUM(A1)" stays text).
            const QString columns = QStringLiteral("1/1/2/2/3/2/4/2/5/2/6/2/7/2/8/2");
            QCOMPARE(converted(csv, QFileInfo(file).suffix(), columns), file);
        } else {
            QJsonArray json;
            for (const QStringList& row : rows) json.append(QJsonArray::fromStringList(row));
            QCOMPARE(runClient(m_python, {kScript, QStringLiteral("write-workbook"), file}, QJsonDocument(json).toJson()).exitCode, 0);
        }
        const glossary::Glossary read = cardimport::readFile(file);
        const std::vector<CardText> imported = glossary::cardsOf(read, glossary::proposedPair(read)).cards;
        QCOMPARE(qsizetype(imported.size()), rows.size() - 1);
        for (qsizetype r = 1; r < rows.size(); r += office ? 997 : 1) {
            const CardText& card = imported[std::size_t(r - 1)];
            QCOMPARE(card[Module1::Field::expression], rows[r][1]);
            QCOMPARE(card[Module1::Field::traduction], rows[r][2]);
            QCOMPARE(card[Module1::Field::miscellanea], rows[r][5]);
            QCOMPARE(card[Module1::Field::contexte], rows[r][7]);
        }
    }

    // Numbers and dates come in as the sheet shows them in French: under
    // their number format (openpyxl), or from their value where the file
    // writes no text (odfpy). A formula the file keeps no value of is named
    // before anything is imported. (XML keeps a carriage return only
    // written as a reference, which openpyxl does and odfpy does not.)
    void eachClientsNumbersImportAsShown_data() {
        QTest::addColumn<QString>("workbook");
        QTest::addColumn<QStringList>("translations");
        const QString nbsp = QStringLiteral("\u00A0");
        QTest::newRow("openpyxl") << "formats.xlsx"
                                  << QStringList{"01234", "1,50", "1" + nbsp + "234" + nbsp + "567", "0,3",
                                                 "16/03/2023 00:00", "a\rb", "x\ry", ""};
        QTest::newRow("odfpy") << "formats.ods"
                               << QStringList{"1234", "1,5", "1234567", "0,3", "15/03/2023 23:59:59", "a\nb", "x_x000D_y", ""};
    }
    void eachClientsNumbersImportAsShown() {
        QFETCH(QString, workbook);
        QFETCH(QStringList, translations);
        if (m_python.isEmpty()) QSKIP("no Python with openpyxl and odfpy here (python3-openpyxl, python3-odf)");
        const QByteArray rows = "[[\"Expression\", \"Traduction\"],"
                                "[\"code\", {\"number\": 1234, \"format\": \"00000\"}],"
                                "[\"prix\", {\"number\": 1.5, \"format\": \"0.00\"}],"
                                "[\"population\", {\"number\": 1234567, \"format\": \"#,##0\"}],"
                                "[\"somme\", {\"number\": 0.30000000000000004}],"
                                "[\"échéance\", {\"date\": \"2023-03-15T23:59:59.600\", \"format\": \"dd/mm/yyyy hh:mm\"}],"
                                "[\"retour\", \"a\\rb\"],"
                                "[\"échappement\", \"x_x000D_y\"],"
                                "[\"formule\", {\"formula\": \"A1&\\\"x\\\"\"}]]";
        const QString file = path(workbook);
        QCOMPARE(runClient(m_python, {kScript, QStringLiteral("write-formatted"), file}, rows).exitCode, 0);
        const glossary::Glossary read = cardimport::readFile(file);
        const std::vector<CardText> cards = glossary::cardsOf(read, glossary::proposedPair(read)).cards;
        QStringList got;
        for (const CardText& card : cards) got.append(card[Module1::Field::traduction]);
        QCOMPARE(got, translations);
        QCOMPARE(read.remarks.size(), 1);
        QVERIFY2(read.remarks.front().contains(QStringLiteral("La cellule B9 ")), qPrintable(read.remarks.front()));
    }

    // Workbooks as colleagues make them import at the first try: LibreOffice
    // from a table with a title above and languages named in French,
    // openpyxl with a column no field takes.
    void aColleaguesWorkbookImportsAtTheFirstTry_data() {
        QTest::addColumn<QString>("workbook");
        QTest::newRow("LibreOffice, xlsx") << "collegue.xlsx";
        QTest::newRow("LibreOffice, ods") << "collegue.ods";
        QTest::newRow("openpyxl") << "collegue-openpyxl.xlsx";
    }
    void aColleaguesWorkbookImportsAtTheFirstTry() {
        QFETCH(QString, workbook);
        const bool office = !workbook.contains(QLatin1String("openpyxl"));
        if (office && m_office.isEmpty()) QSKIP("no LibreOffice here (libreoffice-calc-nogui)");
        if (!office && m_python.isEmpty()) QSKIP("no Python with openpyxl here (python3-openpyxl)");
        const QString file = path(workbook);
        QString said;  // the column whose text goes into the miscellanea
        if (office) {
            const QString csv = path(QStringLiteral("collegue.csv"));
            QFile out(csv);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("Glossaire juridique ACME,,\n,,\nAnglais,Français,Ajouté le\nclaim,créance,12/03/2024\n"
                      "debtor,débiteur,13/03/2024\n");
            out.close();
            // Read as UTF-8, each column as LibreOffice reads it by itself (the dates as dates).
            QCOMPARE(converted(csv, QFileInfo(file).suffix(), QStringLiteral("1/1/2/1/3/1")), file);
            said = QStringLiteral("Ajouté le");
        } else {
            const QByteArray rows = "[[\"English\", \"French\", \"Notes internes\"], [\"claim\", \"créance\", \"à vérifier\"],"
                                    " [\"debtor\", \"débiteur\", \"\"]]";
            QCOMPARE(runClient(m_python, {kScript, QStringLiteral("write-workbook"), file}, rows).exitCode, 0);
            said = QStringLiteral("Notes internes");
        }
        const glossary::Glossary read = cardimport::readFile(file);
        QCOMPARE(read.languages, (QStringList{"en", "fr"}));
        const std::vector<CardText> cards = glossary::cardsOf(read, glossary::proposedPair(read)).cards;
        QCOMPARE(cards.size(), std::size_t(2));
        QCOMPARE(cards[0][Module1::Field::expression], QStringLiteral("claim"));
        QCOMPARE(cards[0][Module1::Field::traduction], QStringLiteral("créance"));
        // The terms are the entries the result list shows.
        QCOMPARE(cards[0][Module1::Field::dictionnaire], QStringLiteral("claim"));
        QCOMPARE(cards[0][Module1::Field::dictionnairecible], QStringLiteral("créance"));
        // The date as the sheet LibreOffice made shows it (its own default format).
        QCOMPARE(cards[0][Module1::Field::miscellanea],
                 said + QStringLiteral("\u00A0: ") + (office ? QStringLiteral("12/03/24") : QStringLiteral("à vérifier")));
        QVERIFY2(read.remarks.join(u' ').contains(QStringLiteral("«\u00A0%1\u00A0»").arg(said)), qPrintable(read.remarks.join(u' ')));
    }

    // The real glossaries, saved by LibreOffice as workbooks, give the cards the originals give.
    void realGlossariesSavedAsWorkbooksGiveTheSameCards_data() {
        QTest::addColumn<QString>("glossary");
        QTest::addColumn<QString>("format");
        for (const char* name : {"bilan-carbone-glossaire-en-fr.csv", "wordpress-polyglots-fr.csv", "ms-terms-en-ug.csv"}) {
            for (const char* format : {"xlsx", "ods"}) QTest::addRow("%s, %s", name, format) << name << format;
        }
    }
    void realGlossariesSavedAsWorkbooksGiveTheSameCards() {
        QFETCH(QString, glossary);
        QFETCH(QString, format);
        if (m_office.isEmpty()) QSKIP("no LibreOffice here (libreoffice-calc-nogui)");
        const QString copy = path(glossary);
        QFile::remove(copy);
        QVERIFY(QFile::copy(kGlossaries + u'/' + glossary, copy));
        // Every column text, as the table holds it.
        QString columns;
        for (int c = 1; c <= 16; ++c) columns += QStringLiteral("%1%2/2").arg(c == 1 ? QString() : QStringLiteral("/")).arg(c);
        const glossary::Glossary original = cardimport::readFile(copy);
        const glossary::Glossary saved = cardimport::readFile(converted(copy, format, columns));
        QCOMPARE(saved.languages, original.languages);
        const glossary::Pair pair = glossary::proposedPair(original);
        const auto expected = glossary::cardsOf(original, pair).cards;
        const auto got = glossary::cardsOf(saved, pair).cards;
        QCOMPARE(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            // A spreadsheet keeps a cell's line breaks as line feeds alone.
            for (std::size_t f = 0; f < 7; ++f) {
                QCOMPARE(QString(got[i].fields[f]).replace("\r\n", "\n"), QString(expected[i].fields[f]).replace("\r\n", "\n"));
            }
        }
    }

    // Each gets one French message naming the file; nothing is inflated past the limit.
    void badWorkbooksAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("said");
        QTest::newRow("not a zip") << "texte.xlsx" << "ce n'est pas une archive zip";
        QTest::newRow("a zip, no workbook") << "autre.ods" << "n'est pas un classeur OpenDocument";
        QTest::newRow("XML not well-formed") << "casse.xlsx" << "illisible";
        QTest::newRow("nested without end") << "gigogne.ods" << "sans fin";
        QTest::newRow("inflates past the limit") << "bombe.xlsx" << "dépasse 256 Mo";
        QTest::newRow("shared string out of range") << "partage.xlsx" << "texte partagé n° 7";
        QTest::newRow("cell out of range") << "cellule.xlsx" << "«\u00A0XFE1\u00A0» hors des limites";
        // A few kilobytes that would unfold to gigabytes.
        QTest::newRow("a cell of 81 million spaces") << "espaces.ods" << "cellule de plus de 32\u00A0767 caractères";
        QTest::newRow("a row repeated a million times") << "repetee.ods" << "plus de lignes qu'un fichier";
        QTest::newRow("five million shared strings") << "textes.xlsx" << "plus de textes partagés";
        QTest::newRow("one text of 64 MB") << "texte-long.xlsx" << "dépasse 1 Mo";
        QTest::newRow("a row numbered after an empty one") << "lignes.xlsx" << "à la ligne 3, 3 champs";
    }
    void badWorkbooksAreRefused() {
        QFETCH(QString, name);
        QFETCH(QString, said);
        const QByteArray workbook = "<workbook><sheets><sheet name=\"F\" sheetId=\"1\" r:id=\"rId1\" "
                                    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"/>"
                                    "</sheets></workbook>";
        const QByteArray relations = "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" "
                                     "Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
                                     "Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";
        const auto excel = [&](const QByteArray& sheet, const QByteArray& strings = "<sst><si><t>a</t></si></sst>") {
            return QList<std::pair<QString, QByteArray>>{{QStringLiteral("xl/workbook.xml"), workbook},
                                                         {QStringLiteral("xl/_rels/workbook.xml.rels"), relations},
                                                         {QStringLiteral("xl/sharedStrings.xml"), strings},
                                                         {QStringLiteral("xl/worksheets/sheet1.xml"), sheet}};
        };
        const QString file = path(name);
        QFile::remove(file);
        if (name == QLatin1String("texte.xlsx")) {
            QFile text(file);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("expression;traduction\n");
        } else if (name == QLatin1String("autre.ods")) {
            zipOf(file, {{QStringLiteral("lisezmoi.txt"), "bonjour"}});
        } else if (name == QLatin1String("casse.xlsx")) {
            zipOf(file, excel("<worksheet><sheetData><row>"));
        } else if (name == QLatin1String("gigogne.ods")) {
            zipOf(file, {{QStringLiteral("content.xml"), QByteArray("<a>").repeated(100000)}});
        } else if (name == QLatin1String("bombe.xlsx")) {
            zipOf(file, excel("<worksheet><sheetData/></worksheet>" + QByteArray(257 * 1024 * 1024, ' ')));
        } else if (name == QLatin1String("espaces.ods")) {
            zipOf(file, {{QStringLiteral("content.xml"),
                          "<document-content><body><spreadsheet><table name=\"F\"><table-row><table-cell><p>" +
                              QByteArray("<s c=\"4096\"/>").repeated(20000) + "</p></table-cell></table-row></table>"
                                                                             "</spreadsheet></body></document-content>"}});
        } else if (name == QLatin1String("repetee.ods")) {
            zipOf(file, {{QStringLiteral("content.xml"),
                          "<document-content><body><spreadsheet><table name=\"F\"><table-row><table-cell><p>Expression"
                          "</p></table-cell><table-cell><p>Contexte</p></table-cell></table-row><table-row "
                          "number-rows-repeated=\"1048000\"><table-cell/><table-cell><p>un contexte</p></table-cell>"
                          "</table-row></table></spreadsheet></body></document-content>"}});
        } else if (name == QLatin1String("textes.xlsx")) {
            zipOf(file, excel("<worksheet><sheetData/></worksheet>",
                              "<sst>" + QByteArray("<si><t>a</t></si>").repeated(5000000) + "</sst>"));
        } else if (name == QLatin1String("texte-long.xlsx")) {
            zipOf(file, excel("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" +
                              QByteArray(64 * 1024 * 1024, 'a') + "</t></is></c></row></sheetData></worksheet>"));
        } else if (name == QLatin1String("lignes.xlsx")) {
            zipOf(file, excel("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>source</t></is></c>"
                              "<c r=\"B1\" t=\"inlineStr\"><is><t>target</t></is></c></row><row/><row>"
                              "<c t=\"inlineStr\"><is><t>a</t></is></c><c t=\"inlineStr\"><is><t>b</t></is></c>"
                              "<c t=\"inlineStr\"><is><t>c</t></is></c></row></sheetData></worksheet>"));
        } else if (name == QLatin1String("partage.xlsx")) {
            zipOf(file, excel("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row></sheetData></worksheet>"));
        } else {
            zipOf(file, excel("<worksheet><sheetData><row r=\"1\"><c r=\"XFE1\" t=\"s\"><v>0</v></c></row></sheetData></worksheet>"));
        }
        const QString message = failureOf([&] { cardimport::readFile(file); });
        QVERIFY2(message.contains(said) && message.contains(QDir::toNativeSeparators(file)), qPrintable(message));
    }
};

QTEST_MAIN(TestSpreadsheets)
#include "tst_spreadsheets.moc"
