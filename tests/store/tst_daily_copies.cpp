#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <csignal>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "store/card_history.h"
#include "store/daily_copies.h"
#include "store/data_file.h"
#include "store/field_text.h"
#include "store/store_error.h"
#include "store/store_notice.h"
#include "support/card_files.h"
#include "support/crash_loop.h"
#include "support/test_folder.h"

using namespace Module1;

// Copies of the whole data file: made once a day, kept by day, week and
// month, and put back in the file's place.
namespace {

FicheRecord card(int numero, const QString& text) {
    FicheRecord fiche = emptyCard(numero);
    fieldtext::store(fiche.expression, text);
    return fiche;
}

void save(const QString& data, int slot, const QString& text) {
    DataFile file = DataFile::open(data);
    file.writeSlot(slot, card(slot, text));
}

QStringList namesOf(const std::vector<dailycopies::Copy>& copies) {
    QStringList names;
    for (const auto& copy : copies) names.append(QFileInfo(copy.path).fileName());
    return names;
}

QByteArray gunzip(const QString& path) {
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), path});
    if (!gzip.waitForFinished(60000) || gzip.exitCode() != 0) return "gzip failed";
    return gzip.readAllStandardOutput();
}

// Makes writing a file past `bytes` fail as a full disk does; -1 lifts it.
bool limitFileSize(qint64 bytes) {
#ifdef _WIN32
    Q_UNUSED(bytes);
    return false;
#else
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes < 0 ? RLIM_INFINITY : rlim_t(bytes), RLIM_INFINITY};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
#endif
}

struct Notices {
    QStringList told;
    Notices() {
        storenotice::setListener([this](const QString& message) { told.append(message); });
    }
    ~Notices() { storenotice::setListener({}); }
};

}  // namespace

class TestDailyCopies : public QObject {
    Q_OBJECT
private:
    TestFolder m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    FileSystem& native() { return FileSystem::native(); }

private slots:
    void initTestCase() { qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("utilisateur")).toUtf8()); }

    void theFirstSaveOfTheDayCopiesTheFileAsItWas() {
        const QString data = path(QStringLiteral("jour.dat"));
        cardfiles::writeNumbered(data, 300);
        const QByteArray before = cardfiles::contents(data);
        save(data, 2, QStringLiteral("première de la journée"));
        save(data, 3, QStringLiteral("deuxième"));
        const auto copies = dailycopies::list(native(), data);
        QCOMPARE(namesOf(copies), QStringList{QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + ".dat.gz"});
        if (!QStandardPaths::findExecutable(QStringLiteral("gzip")).isEmpty()) QCOMPARE(gunzip(copies.front().path), before);
        QCOMPARE(copies.front().cardCount, 300);
        QCOMPARE(copies.front().length, before.size());
        QVERIFY2(copies.front().compressed * 8 < before.size(), qPrintable(QString::number(copies.front().compressed)));
        QCOMPARE(QByteArray(dailycopies::contents(copies.front()).data(), before.size()), before);
    }

    // Forty days of copies over fourteen months: the newest seven stay, and
    // the newest of each of the four latest weeks and twelve latest months.
    void copiesAreKeptByDayWeekAndMonth() {
        const QString data = path(QStringLiteral("rotation.dat"));
        cardfiles::writeNumbered(data, 2);
        save(data, 1, QStringLiteral("une"));
        const QString folder = dailycopies::folderFor(native(), data);
        const QString today = QDir(folder).filePath(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + ".dat.gz");
        QList<QDate> days;
        for (int n = 1; n <= 20; ++n) days.append(QDate::currentDate().addDays(-n));
        for (int n = 1; n <= 20; ++n) days.append(QDate::currentDate().addDays(-30 * n));
        for (const QDate& day : days) QVERIFY(QFile::copy(today, QDir(folder).filePath(day.toString(QStringLiteral("yyyy-MM-dd")) + ".dat.gz")));
        QVERIFY(QFile::remove(today));
        save(data, 1, QStringLiteral("deux"));  // today's copy, then the rotation

        const auto copies = dailycopies::list(native(), data);
        QVERIFY2(copies.size() <= 23, qPrintable(namesOf(copies).join(' ')));
        QList<QDate> kept;
        for (const auto& copy : copies) kept.append(copy.made.date());
        for (int n = 0; n < 7; ++n) QVERIFY(kept.contains(QDate::currentDate().addDays(-n)));
        QSet<int> months;
        for (const QDate& day : kept) months.insert(day.year() * 12 + day.month());
        QCOMPARE(months.size(), 12);
        QVERIFY(!kept.contains(QDate::currentDate().addDays(-600)));
    }

    void aCopyThatCannotBeMadeIsToldOnceAndTheSaveGoesOn() {
        const QString data = path(QStringLiteral("sans-copie.dat"));
        cardfiles::writeNumbered(data, 2);
        const QString folder = dailycopies::folderFor(native(), data);
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QFile blocker(folder);  // a file where the folder must go
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Notices notices;
        save(data, 1, QStringLiteral("gardée"));
        save(data, 2, QStringLiteral("aussi"));
        QCOMPARE(cardfiles::fieldOf(data, 1, Field::expression), QStringLiteral("gardée"));
        QCOMPARE(cardfiles::fieldOf(data, 2, Field::expression), QStringLiteral("aussi"));
        QCOMPARE(notices.told.size(), 1);
        QVERIFY2(notices.told.first().contains(QStringLiteral("n'a pas pu être faite")), qPrintable(notices.told.first()));
        QVERIFY(blocker.remove());
    }

    void aCopyPutBackReplacesTheFileAndKeepsItFirst() {
        const QString data = path(QStringLiteral("retablie.dat"));
        cardfiles::writeNumbered(data, 5);
        const QByteArray morning = cardfiles::contents(data);
        save(data, 2, QStringLiteral("erreur"));
        const QByteArray mistaken = cardfiles::contents(data) + cardfiles::contents(data).left(kSlotSize);
        cardfiles::restore(data, mistaken);  // and a sixth card
        const auto copy = dailycopies::list(native(), data).front();
        dailycopies::restore(data, copy);
        QCOMPARE(cardfiles::contents(data), morning);
        const auto copies = dailycopies::list(native(), data);
        QCOMPARE(copies.size(), std::size_t(2));
        QCOMPARE(QByteArray(dailycopies::contents(copies.front()).data(), qsizetype(mistaken.size())), mistaken);
        const auto versions = cardhistory::versionsOf(native(), data, 6);
        QCOMPARE(versions.size(), std::size_t(1));
        QCOMPARE(versions.front().action, cardhistory::Action::restoration);
    }

    // A copy cut short, claiming more than any data file holds, or changed
    // inside: listed for what it is where its ends show it, never put back,
    // and nothing is reserved for what it claims.
    void aDamagedCopyIsNotPutBack_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("listedDamaged");
        QTest::newRow("cut short") << "cut" << true;
        QTest::newRow("cut short, claiming a length a file may have") << "cut-plausible" << true;
        QTest::newRow("claims 2 GB") << "claims" << true;
        QTest::newRow("changed inside") << "changed" << false;
    }
    void aDamagedCopyIsNotPutBack() {
        QFETCH(QString, damage);
        QFETCH(bool, listedDamaged);
        const QString data = path(QStringLiteral("abimee-%1.dat").arg(damage));
        cardfiles::writeNumbered(data, 3);
        save(data, 1, QStringLiteral("changée"));
        const QByteArray now = cardfiles::contents(data);
        const QString copyPath = dailycopies::list(native(), data).front().path;
        QByteArray bytes = cardfiles::contents(copyPath);
        if (damage == QLatin1String("cut")) bytes.truncate(bytes.size() / 2 + 1);
        if (damage == QLatin1String("cut-plausible")) bytes = bytes.left(300) + QByteArray("\x00\x00\x00\x02", 4);
        if (damage == QLatin1String("claims")) bytes.replace(bytes.size() - 4, 4, QByteArray("\xff\xff\xff\x7f", 4));
        if (damage == QLatin1String("changed")) bytes.replace(bytes.size() / 2, 6, "abîmé");
        QFile file(copyPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        const auto copy = dailycopies::list(native(), data).front();
        QCOMPARE(copy.damaged, listedDamaged);
        QVERIFY(copy.cardCount <= kHighestCardNumber);
        QVERIFY_THROWS_EXCEPTION(StoreError, dailycopies::contents(copy));
        QVERIFY_THROWS_EXCEPTION(StoreError, dailycopies::restore(data, copy));
        QCOMPARE(cardfiles::contents(data), now);
    }

    // Putting a copy back keeps the file as it stood among the copies, and
    // lets no copy go before it is done: never the copy chosen, and none at
    // all when it fails (the disk full here).
    void aCopyPutBackDeletesNoCopyItDoesNotReplace_data() {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("put back") << false;
        QTest::newRow("disk full") << true;
    }
    void aCopyPutBackDeletesNoCopyItDoesNotReplace() {
        QFETCH(bool, diskFull);
        const QString data = path(QStringLiteral("choisie-%1.dat").arg(diskFull));
        cardfiles::writeNumbered(data, 40);
        save(data, 1, QStringLiteral("du jour"));
        const QString folder = dailycopies::folderFor(native(), data);
        const QString daily = dailycopies::list(native(), data).front().path;
        // Nine copies made earlier today: the oldest is the one chosen, the
        // first a rotation keeping seven would let go.
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        for (int n = 1; n <= 9; ++n) {
            QVERIFY(QFile::copy(daily, QDir(folder).filePath(QStringLiteral("%1-00000%2.dat.gz").arg(today).arg(n))));
        }
        const auto before = dailycopies::list(native(), data);
        const dailycopies::Copy chosen = before.back();
        QVERIFY(chosen.path.endsWith(QStringLiteral("-000001.dat.gz")));
        save(data, 2, QStringLiteral("après la copie"));
        const QByteArray current = cardfiles::contents(data);
        if (diskFull) {
            if (!limitFileSize(current.size() * 3 / 2)) QSKIP("no file-size limit on this system to fill the disk with");
            QVERIFY_THROWS_EXCEPTION(StoreError, dailycopies::restore(data, chosen));
            limitFileSize(-1);
            QCOMPARE(cardfiles::contents(data), current);
            QCOMPARE(namesOf(dailycopies::list(native(), data)), namesOf(before));
        } else {
            dailycopies::restore(data, chosen);
            QCOMPARE(cardfiles::fieldOf(data, 2, Field::expression), QStringLiteral("fiche 2"));
            const QStringList after = namesOf(dailycopies::list(native(), data));
            QVERIFY2(after.contains(QFileInfo(chosen.path).fileName()), qPrintable(after.join(' ')));
            QCOMPARE(after.size(), 8);  // the seven newest, the file as it stood among them, and the one chosen
        }
    }

    // Newest first, by the time each copy was made: its file's time where
    // that follows its name (a copy ends after the second it is named for,
    // sometimes in the next one), its name's where the file was touched later.
    void copiesAreListedByTheTimeTheyWereMade_data() {
        QTest::addColumn<int>("momentCopyEndsAfterMs");
        QTest::addColumn<bool>("momentCopyFirst");
        QTest::newRow("ended within its second") << 700 << true;
        QTest::newRow("ended in the next second") << 1200 << true;
        QTest::newRow("touched the next day") << 86400 * 1000 << false;
    }
    void copiesAreListedByTheTimeTheyWereMade() {
        QFETCH(int, momentCopyEndsAfterMs);
        QFETCH(bool, momentCopyFirst);
        const QString data = path(QStringLiteral("ordre-%1.dat").arg(momentCopyEndsAfterMs));
        cardfiles::writeNumbered(data, 2);
        save(data, 1, QStringLiteral("une"));
        const QString folder = dailycopies::folderFor(native(), data);
        const QDateTime second(QDate::currentDate(), QTime(0, 0, 1));
        const QString daily = QDir(folder).filePath(second.toString(QStringLiteral("yyyy-MM-dd")) + ".dat.gz");
        const QString moment = QDir(folder).filePath(second.toString(QStringLiteral("yyyy-MM-dd-HHmmss")) + ".dat.gz");
        QVERIFY(QFile::copy(daily, moment));
        const auto touch = [](const QString& file, const QDateTime& when) {
            QFile opened(file);
            return opened.open(QIODevice::ReadWrite) && opened.setFileTime(when, QFileDevice::FileModificationTime);
        };
        QVERIFY(touch(daily, second.addMSecs(500)));
        QVERIFY(touch(moment, second.addMSecs(momentCopyEndsAfterMs)));
        const QStringList names = namesOf(dailycopies::list(native(), data));
        QCOMPARE(names.size(), 2);
        QCOMPARE(names.front(), QFileInfo(momentCopyFirst ? moment : daily).fileName());
    }

    // A clock set back, or copies brought from another machine: copies dated
    // ahead never push the day's copy out, so the day is copied once.
    void copiesDatedAheadOfTheClockLeaveTheDaysCopy() {
        const QString data = path(QStringLiteral("en-avance.dat"));
        cardfiles::writeNumbered(data, 2);
        save(data, 1, QStringLiteral("une"));
        const QString folder = dailycopies::folderFor(native(), data);
        const QString todays = QDir(folder).filePath(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")) + ".dat.gz");
        const auto dated = [&folder](const QDate& day) {
            return QDir(folder).filePath(day.toString(QStringLiteral("yyyy-MM-dd")) + ".dat.gz");
        };
        for (int n = 1; n <= 12; ++n) QVERIFY(QFile::copy(todays, dated(QDate::currentDate().addMonths(n))));
        const QString twoMonthsAgo = dated(QDate::currentDate().addMonths(-2));
        QVERIFY(QFile::copy(todays, twoMonthsAgo));
        QVERIFY(QFile::remove(todays));
        QFile stale(QDir(folder).filePath(QStringLiteral("2026-01-01.dat.gz.Ab12Cd")));  // a copy a crash cut short
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        save(data, 1, QStringLiteral("deux"));
        QVERIFY(QFile::exists(todays));
        QVERIFY(QFile::exists(twoMonthsAgo));  // still the newest of its month
        QVERIFY(!stale.exists());
        const QDateTime made = QFileInfo(todays).lastModified();
        QTest::qWait(1100);
        save(data, 2, QStringLiteral("trois"));
        QCOMPARE(QFileInfo(todays).lastModified(), made);
    }

    // Put back a copy with fewer cards, ended at every step: the file is the
    // old one or the copy, never a mixture of the two.
    void aCopyPutBackIsWholeOrNotAtAll() {
        const QString data = path(QStringLiteral("coupure.dat"));
        cardfiles::writeNumbered(data, 4);
        const QByteArray older = cardfiles::contents(data).left(3 * kSlotSize);
        save(data, 2, QStringLiteral("plus tard"));
        const QByteArray later = cardfiles::contents(data);
        const QString copyPath = dailycopies::list(native(), data).front().path;
        QVERIFY(QFile::remove(copyPath));
        cardfiles::restore(data, older);
        save(data, 3, QStringLiteral("fiche 3"));  // no change: only today's copy, of the older file
        const auto copy = dailycopies::list(native(), data).front();
        int cut = 0;
        CrashLoop loop;
        loop.prepare = [&] { cardfiles::restore(data, later); };
        loop.work = [&] { dailycopies::restore(data, copy); };
        loop.check = [&](int at, bool finished) {
            DataFile::open(data).close();
            const QByteArray now = cardfiles::contents(data);
            QVERIFY2(now == later || now == older, qPrintable(QStringLiteral("ended at step %1: a mixture").arg(at)));
            if (finished) QCOMPARE(now, older);
            if (now == later) ++cut;
        };
        loop.run();
        QVERIFY(cut >= 5);
    }
};

QTEST_GUILESS_MAIN(TestDailyCopies)
#include "tst_daily_copies.moc"
