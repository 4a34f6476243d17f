#include <QTest>

#include "store/field_text.h"
#include "store/fiche_record.h"

using namespace Module1;

namespace {

FicheRecord fromBytes(const char* bytes) {
    FicheRecord fiche;
    Module1::fromBytes(bytes, fiche);
    return fiche;
}

QByteArray fieldBytes(const SlotBytes& slot, int offset, int width) {
    return QByteArray(slot.data() + offset, width);
}

}  // namespace

class TestFicheRecord : public QObject {
    Q_OBJECT
private slots:
    // --- layout on file

    void fieldsLieAtTheirOffsets_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        QTest::newRow("expression") << int(Field::expression) << 2 << 255;
        QTest::newRow("traduction") << int(Field::traduction) << 257 << 255;
        QTest::newRow("dictionnaire") << int(Field::dictionnaire) << 512 << 255;
        QTest::newRow("dictionnairecible") << int(Field::dictionnairecible) << 767 << 255;
        QTest::newRow("miscellanea") << int(Field::miscellanea) << 1022 << 512;
        QTest::newRow("reference") << int(Field::reference) << 1534 << 255;
        QTest::newRow("contexte") << int(Field::contexte) << 1789 << 1000;
    }
    void fieldsLieAtTheirOffsets() {
        QFETCH(int, field);
        QFETCH(int, offset);
        QFETCH(int, width);
        FicheRecord fiche = emptyCard(1);
        fieldtext::store(Module1::field(fiche, Field(field)), QString(width, u'x'));
        const SlotBytes bytes = toBytes(fiche);
        QCOMPARE(fieldBytes(bytes, offset, width), QByteArray(width, 'x'));
        QCOMPARE(bytes[offset - 1] == 'x', false);
        QCOMPARE(offset + width == kSlotSize || bytes[offset + width] != 'x', true);
        QCOMPARE(fromBytes(bytes.data()), fiche);
    }

    void numeroIsLittleEndian_data() {
        QTest::addColumn<int>("numero");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::newRow("card 258") << 258 << 0x02 << 0x01;
        QTest::newRow("card 1") << 1 << 0x01 << 0x00;
        QTest::newRow("card 32767") << 32767 << 0xFF << 0x7F;
        QTest::newRow("minus one") << -1 << 0xFF << 0xFF;
    }
    void numeroIsLittleEndian() {
        QFETCH(int, numero);
        QFETCH(int, low);
        QFETCH(int, high);
        FicheRecord fiche;
        fiche.numero = std::int16_t(numero);
        const SlotBytes bytes = toBytes(fiche);
        QCOMPARE(static_cast<unsigned char>(bytes[0]), low);
        QCOMPARE(static_cast<unsigned char>(bytes[1]), high);
        QCOMPARE(fromBytes(bytes.data()).numero, numero);
    }

    void reserveKeepsWhateverItHolds() {
        FicheRecord fiche = emptyCard(4);
        QCOMPARE(fieldBytes(toBytes(fiche), 2789, 10), QByteArray(10, '\0'));
        fiche.reserve.fill('R');
        QCOMPARE(fieldBytes(toBytes(fiche), 2789, 10), QByteArray(10, 'R'));
    }

    void recordBufferStartsZeroed() {
        const FicheRecord& buffer = recordBuffer();
        QCOMPARE(buffer.numero, 0);
        const SlotBytes bytes = toBytes(buffer);
        QCOMPARE(QByteArray(bytes.data(), kSlotSize), QByteArray(kSlotSize, '\0'));
    }

    void emptyCardBearsItsSlotNumber() {
        const FicheRecord fiche = emptyCard(7);
        QCOMPARE(fiche.numero, 7);
        QCOMPARE(fieldtext::read(fiche.contexte), QString());
        QCOMPARE(fiche.contexte[999], ' ');
    }

    // --- text to field and back

    void textIsCutPaddedAndTrimmed_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("300 characters keep 255") << QString(300, u'a') << QString(255, u'a');
        QTest::newRow("leading spaces stay") << QStringLiteral("  mot  ") << QStringLiteral("  mot");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("tab and NUL stay") << QStringLiteral("a\t\0") << QStringLiteral("a\t\0");
        QTest::newRow("line break as CR LF") << QStringLiteral("un\ndeux") << QStringLiteral("un\r\ndeux");
        QTest::newRow("CR LF kept") << QStringLiteral("un\r\ndeux") << QStringLiteral("un\r\ndeux");
        QTest::newRow("line break counts") << QString(253, u'a') + QStringLiteral("\nb")
                                           << QString(253, u'a') + QStringLiteral("\r\n");
        QTest::newRow("outside the code page") << QStringLiteral("ŵ€") << QStringLiteral("?€");
    }
    void textIsCutPaddedAndTrimmed() {
        QFETCH(QString, typed);
        QFETCH(QString, readBack);
        FicheRecord fiche;
        fieldtext::store(fiche.expression, typed);
        QCOMPARE(fieldtext::read(fiche.expression), readBack);
    }

    void accentedLettersAreSingleBytes() {
        FicheRecord fiche;
        fieldtext::store(fiche.reference, QStringLiteral("é"));
        const SlotBytes bytes = toBytes(fiche);
        QCOMPARE(static_cast<unsigned char>(bytes[1534]), 0xE9);
        QCOMPARE(bytes[1535], ' ');
    }

    void aFullContextHasNoSpaceAfterIt() {
        FicheRecord fiche;
        fieldtext::store(fiche.contexte, QString(1000, u'z'));
        QCOMPARE(fieldBytes(toBytes(fiche), 1789, 1000), QByteArray(1000, 'z'));
    }
};

QTEST_APPLESS_MAIN(TestFicheRecord)
#include "tst_fiche_record.moc"
