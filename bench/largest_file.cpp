#include "largest_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

#include "card_generator.h"
#include "store/field_text.h"
#include "store/native_file.h"

namespace largestfile {
namespace {

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

void warm(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.read(1 << 20).isEmpty()) {
        }
    }
}

// Written back to disk before anything is measured, so that the kernel's
// flusher does not take a core half a minute into the run.
void settle(const QString& path) {
    int error = 0;
    if (auto file = FileSystem::native().open(path, error)) file->sync();
}

void exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) qFatal("sqlite: %s", error);
}

}  // namespace

const QString& dataFile() {
    static const QString path = [] {
        const QString file = folder().filePath(QStringLiteral("lexicarium.dat"));
        if (!CardGenerator().writeFile(file, kCards)) qFatal("cannot write the benchmark's data file");
        settle(file);
        warm(file);
        return file;
    }();
    return path;
}

const QString& sqliteFile() {
    static const QString path = [] {
        const QString file = folder().filePath(QStringLiteral("lexicarium.sqlite"));
        sqlite3* db = nullptr;
        if (sqlite3_open(file.toUtf8().constData(), &db) != SQLITE_OK) qFatal("cannot open the SQLite file");
        exec(db, "CREATE TABLE fiche (numero INTEGER, expression TEXT, traduction TEXT, dictionnaire TEXT, "
                 "dictionnairecible TEXT, miscellanea TEXT, reference TEXT, contexte TEXT)");
        exec(db, "BEGIN");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO fiche VALUES (?, ?, ?, ?, ?, ?, ?, ?)", -1, &insert, nullptr);
        CardGenerator generator;
        for (int n = 1; n <= kCards; ++n) {
            const Module1::FicheRecord card = generator.card(n);
            sqlite3_bind_int(insert, 1, card.numero);
            int column = 2;
            for (auto field : {Module1::Field::expression, Module1::Field::traduction, Module1::Field::dictionnaire,
                               Module1::Field::dictionnairecible, Module1::Field::miscellanea,
                               Module1::Field::reference, Module1::Field::contexte}) {
                sqlite3_bind_text(insert, column++, fieldtext::read(Module1::field(card, field)).toUtf8().constData(),
                                  -1, SQLITE_TRANSIENT);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        exec(db, "COMMIT");
        sqlite3_close(db);
        warm(file);
        return file;
    }();
    return path;
}

const QString& sqliteFtsFile() {
    static const QString path = [] {
        const QString file = folder().filePath(QStringLiteral("lexicarium-fts.sqlite"));
        if (!QFile::copy(sqliteFile(), file)) qFatal("cannot copy the SQLite file");
        sqlite3* db = nullptr;
        if (sqlite3_open(file.toUtf8().constData(), &db) != SQLITE_OK) qFatal("cannot open the SQLite file");
        exec(db, "CREATE VIRTUAL TABLE fiche_fts USING fts5(expression, traduction, dictionnaire, dictionnairecible, "
                 "miscellanea, reference, contexte, content='fiche', tokenize='trigram')");
        exec(db, "INSERT INTO fiche_fts(fiche_fts) VALUES('rebuild')");
        sqlite3_close(db);
        warm(file);
        return file;
    }();
    return path;
}

namespace {

// The words of a Hunspell dictionary, as its list gives them.
QStringList dictionaryWords(const QString& path) {
    QStringList words;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return words;
    file.readLine();  // the count
    while (!file.atEnd()) {
        const QString word = QString::fromUtf8(file.readLine()).section(u'/', 0, 0).trimmed();
        if (!word.isEmpty() && word[0].isLower()) words.append(word);
    }
    return words;
}

}  // namespace

const QString& wideVocabularyFile() {
    static const QString path = [] {
        const QString file = folder().filePath(QStringLiteral("vocabulaire.dat"));
        CardGenerator generator(1252, dictionaryWords(QStringLiteral("/usr/share/hunspell/fr.dic")),
                                dictionaryWords(QStringLiteral("/usr/share/hunspell/en_US.dic")));
        if (!generator.writeFile(file, kCards)) qFatal("cannot write the wide vocabulary file");
        settle(file);
        warm(file);
        return file;
    }();
    return path;
}

QString writableCopy() {
    const QString copy = folder().filePath(QStringLiteral("copy.dat"));
    QFile::remove(copy);
    QFile::copy(dataFile(), copy);
    settle(copy);
    return copy;
}

}  // namespace largestfile
