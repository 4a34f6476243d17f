#include <QTest>

#include "windows/controls/common_dialog.h"

class TestCommonDialog : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { CommonDialog::setAnswerer({}); }

    void theDataFileFilterOffersBothCases() {
        const QString filters = CommonDialog::nameFilters(QStringLiteral("Fichiers de données (*.DAT)|*.DAT"));
#ifdef _WIN32
        QCOMPARE(filters, QStringLiteral("Fichiers de données (*.DAT)"));
#else
        QCOMPARE(filters, QStringLiteral("Fichiers de données (*.DAT *.dat)"));
#endif
    }

    void severalPairsBecomeSeveralFilters() {
        QCOMPARE(CommonDialog::nameFilters(QStringLiteral("Texte|*.txt|Tout|*.*")),
                 QStringLiteral("Texte (*.txt);;Tout (*.*)"));
    }

    void cancelKeepsTheFileName() {
        CommonDialog dialog(QStringLiteral("CommonDialog1"));
        dialog.setFileName(QStringLiteral("/tmp/avant.dat"));
        CommonDialog::setAnswerer([](const CommonDialog::Request&) { return std::optional<CommonDialog::Choice>(); });
        QVERIFY(!dialog.ShowOpen(nullptr));
        QCOMPARE(dialog.FileName(), QStringLiteral("/tmp/avant.dat"));
        QVERIFY(!dialog.ShowSave(nullptr));
        QCOMPARE(dialog.FileName(), QStringLiteral("/tmp/avant.dat"));
    }

    void aConfirmedChoiceBecomesTheFileName() {
        CommonDialog dialog(QStringLiteral("CommonDialog1"));
        dialog.setFilter(QStringLiteral("Fichiers de données (*.DAT)|*.DAT"));
        CommonDialog::Request seen{};
        CommonDialog::setAnswerer([&](const CommonDialog::Request& request) {
            seen = request;
            return std::optional<CommonDialog::Choice>({QStringLiteral("/tmp/nouveau.dat"), 2});
        });
        QVERIFY(dialog.ShowSave(nullptr));
        QCOMPARE(dialog.FileName(), QStringLiteral("/tmp/nouveau.dat"));
        QCOMPARE(dialog.FilterIndex(), 2);
        QCOMPARE(seen.kind, CommonDialog::Kind::save);
        QVERIFY(seen.filter.startsWith(QStringLiteral("Fichiers de données (*.DAT")));
        QCOMPARE(dialog.objectName(), QStringLiteral("CommonDialog1"));
    }
};

QTEST_MAIN(TestCommonDialog)
#include "tst_common_dialog.moc"
