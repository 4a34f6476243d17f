#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "client_run.h"
#include "exchange/card_export.h"
#include "exchange/card_import.h"
#include "exchange/csv_writer.h"
#include "exchange/glossary_cards.h"
#include "store/data_file.h"
#include "support/card_files.h"

using Module1::Field;

// What real clients nobody here wrote make of the exported files, and what
// they write that imports: the Translate Toolkit and xmllint for TBX,
// Python's csv module for CSV.
namespace {

const QString kScript = QStringLiteral(CLIENT_SCRIPTS "/clients.py");

// The Python that has the Translate Toolkit: the system's, before another on the path.
QString pythonWithTheToolkit() {
    for (const QString& python : {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable("python3")}) {
        if (!python.isEmpty() && QFile::exists(python) &&
            runClient(python, {QStringLiteral("-c"), QStringLiteral("import translate.storage.tbx")}).exitCode == 0) {
            return python;
        }
    }
    return {};
}

QList<cardfiles::Card> exportedCards() {
    return {
        {1, "œuvre", "work", "œuvre (n. f.)", "work", "Robert, p. 3", "misc ; 1", "Une œuvre « majeure »."},
        {2, "cœur", "heart", "cœur", "heart, core", "Littré", "", "Il a du cœur.\r\nDeuxième ligne."},
        {3, "Æsop; fables", "Aesop \"fables\"", "", "", "", "", QString(1000, u'c')},
        {4, "  élève", "pupil, student", "élève", "pupil", "Hachette, 2001", "a,b;c", "Élève appliqué."},
    };
}

std::vector<CardText> cardsIn(const QString& path) {
    const glossary::Glossary read = cardimport::readFile(path);
    return glossary::cardsOf(read, glossary::proposedPair(read)).cards;
}

QJsonArray asJson(const QByteArray& out) { return QJsonDocument::fromJson(out).array(); }

}  // namespace

class TestExchangeClients : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_python;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    void exportGlossary(const QString& to, cardexport::Format format, QChar separator = u';') {
        const QString data = path(QStringLiteral("glossaire.dat"));
        cardfiles::write(data, exportedCards());
        DataFile file = DataFile::open(data);
        cardexport::Options options;
        options.format = format;
        options.separator = separator;
        options.sourceLanguage = QStringLiteral("fr");
        options.targetLanguage = QStringLiteral("en-GB");
        QVERIFY(cardexport::exportCards(file, {1, 2, 3, 4}, to, options, {}));
    }

private slots:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("utilisateur")).toUtf8());
        m_python = pythonWithTheToolkit();
    }

    void theTranslateToolkitReadsEachTermPair() {
        if (m_python.isEmpty()) QSKIP("no Python with the Translate Toolkit here (package translate-toolkit)");
        const QString tbx = path(QStringLiteral("glossaire.tbx"));
        exportGlossary(tbx, cardexport::Format::tbx);
        const ClientRun read = runClient(m_python, {kScript, QStringLiteral("read-tbx"), tbx});
        QVERIFY2(read.exitCode == 0, read.err.constData());
        const QJsonArray units = asJson(read.out);
        QCOMPARE(units.size(), exportedCards().size());
        for (qsizetype i = 0; i < units.size(); ++i) {
            QCOMPARE(units[i].toArray()[0].toString(), exportedCards()[i].expression);
            QCOMPARE(units[i].toArray()[1].toString(), exportedCards()[i].traduction);
        }

        const ClientRun po = runClient(QStringLiteral("tbx2po"), {tbx, path(QStringLiteral("glossaire.po"))});
        QVERIFY2(po.exitCode == 0, po.err.constData());
        const QString converted = QString::fromUtf8(cardfiles::contents(path(QStringLiteral("glossaire.po"))));
        QVERIFY(converted.contains(QStringLiteral("msgid \"cœur\"\nmsgstr \"heart\"")));
    }

    void xmllintFindsTheGlossaryWellFormed() {
        const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
        if (xmllint.isEmpty()) QSKIP("no xmllint here (package libxml2-utils)");
        const QString tbx = path(QStringLiteral("lint.tbx"));
        exportGlossary(tbx, cardexport::Format::tbx);
        const ClientRun lint = runClient(xmllint, {QStringLiteral("--noout"), QStringLiteral("--nonet"), tbx});
        QVERIFY2(lint.exitCode == 0 && lint.err.isEmpty(), lint.err.constData());
    }

    void pythonsCsvModuleReadsEveryFieldBack_data() {
        QTest::addColumn<QChar>("separator");
        QTest::newRow(";") << QChar(u';');
        QTest::newRow(",") << QChar(u',');
    }
    void pythonsCsvModuleReadsEveryFieldBack() {
        QFETCH(QChar, separator);
        if (m_python.isEmpty()) QSKIP("no system Python here");
        const QString csv = path(QStringLiteral("tableau.csv"));
        exportGlossary(csv, cardexport::Format::csv, separator);
        const ClientRun read = runClient(m_python, {kScript, QStringLiteral("read-csv"), csv, QString(separator)});
        QVERIFY2(read.exitCode == 0, read.err.constData());
        const QJsonArray rows = asJson(read.out);
        const QList<cardfiles::Card> cards = exportedCards();
        QCOMPARE(rows.size(), cards.size() + 1);
        QCOMPARE(rows[0].toVariant().toStringList(),
                 (QStringList{"N° fiche", "Expression (fr)", "Traduction (en-GB)", "Entrées texte source",
                              "Entrées texte cible", "Miscellanea", "Référence", "Contexte"}));
        for (qsizetype i = 0; i < cards.size(); ++i) {
            const cardfiles::Card& card = cards[i];
            // An entry the same as its term is left empty: an import takes the term for it.
            const QStringList expected = {QString::number(card.numero), card.expression, card.traduction,
                                          card.dictionnaire == card.expression ? QString() : card.dictionnaire,
                                          card.dictionnairecible == card.traduction ? QString() : card.dictionnairecible,
                                          card.miscellanea, card.reference, card.contexte};
            QCOMPARE(rows[i + 1].toVariant().toStringList(), expected);
        }
    }

    void aGlossaryWrittenByCsv2tbxImports() {
        const QString csv2tbx = QStandardPaths::findExecutable(QStringLiteral("csv2tbx"));
        if (csv2tbx.isEmpty()) QSKIP("no csv2tbx here (package translate-toolkit)");
        QFile source(path(QStringLiteral("toolkit.csv")));
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write("\"source\",\"target\"\n\"élève\",\"pupil\"\n\"œuvre d'art\",\"work of art\"\n");
        source.close();
        const QString tbx = path(QStringLiteral("toolkit.tbx"));
        const ClientRun made = runClient(csv2tbx, {source.fileName(), tbx});
        QVERIFY2(made.exitCode == 0, made.err.constData());
        QVERIFY(cardfiles::contents(tbx).contains("<!DOCTYPE martif"));
        const std::vector<CardText> cards = cardsIn(tbx);
        QCOMPARE(cards.size(), std::size_t(2));
        QCOMPARE(cards[0][Field::expression], QStringLiteral("élève"));
        QCOMPARE(cards[0][Field::traduction], QStringLiteral("pupil"));
        QCOMPARE(cards[1][Field::traduction], QStringLiteral("work of art"));
    }

    void aTableSavedAsByAFrenchSpreadsheetImports() {
        if (m_python.isEmpty()) QSKIP("no system Python here");
        const QString csv = path(QStringLiteral("tableur.csv"));
        const QJsonArray table = {
            QJsonArray{"N° fiche", "Expression", "Traduction", "Contexte"},
            QJsonArray{"1", "façade", "front; facade", "La façade \"nord\"\nsur deux lignes"},
            QJsonArray{"2", "cœur", "heart", ""},
        };
        const QByteArray rows = QJsonDocument(table).toJson();
        const ClientRun written = runClient(m_python, {kScript, QStringLiteral("write-csv"), csv}, rows);
        QVERIFY2(written.exitCode == 0, written.err.constData());
        QVERIFY(cardfiles::contents(csv).startsWith("\xEF\xBB\xBF"));
        const std::vector<CardText> cards = cardsIn(csv);
        QCOMPARE(cards.size(), std::size_t(2));
        QCOMPARE(cards[0][Field::traduction], QStringLiteral("front; facade"));
        QCOMPARE(cards[0][Field::contexte], QStringLiteral("La façade \"nord\"\nsur deux lignes"));
        QCOMPARE(cards[1][Field::expression], QStringLiteral("cœur"));
    }
};

QTEST_GUILESS_MAIN(TestExchangeClients)
#include "tst_exchange_clients.moc"
