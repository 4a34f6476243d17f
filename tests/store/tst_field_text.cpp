#include <QRandomGenerator>
#include <QTest>
#include <vector>

#include "store/cp1252.h"
#include "store/field_text.h"

namespace {

// What textLength must give, one byte at a time.
std::size_t plainLength(const std::vector<char>& field) {
    std::size_t end = field.size();
    while (end > 0 && field[end - 1] == ' ') --end;
    return end;
}

}  // namespace

class TestFieldText : public QObject {
    Q_OBJECT
private slots:
    // --- length of the text before the filling spaces

    // Every width up to past four blocks of sixty-four, with the last
    // non-space byte at every place, so that each block boundary is crossed.
    // What a field keeps of a box's text, told before saving, agrees with
    // what storing it keeps: its length, where the cut falls, and the
    // letters that become "?".
    void fitTellsWhatStoringKeeps_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("firstCut");
        QTest::addColumn<QStringList>("replaced");
        QTest::addColumn<int>("firstReplaced");
        QTest::newRow("fits exactly") << QString(10, u'a') << 10 << 10 << -1 << QStringList() << -1;
        QTest::newRow("one too many") << QString(11, u'a') << 10 << 11 << 10 << QStringList() << -1;
        QTest::newRow("a line break counts two") << QStringLiteral("abcd\nefgh") << 10 << 10 << -1 << QStringList() << -1;
        QTest::newRow("a line break across the end") << QStringLiteral("abcdefghi\nj") << 10 << 12 << 9 << QStringList() << -1;
        QTest::newRow("decomposed accents are one letter each")
            << QStringLiteral("e\u0301le\u0300ve") << 5 << 5 << -1 << QStringList() << -1;
        QTest::newRow("letters the code page lacks, each named once")
            << QStringLiteral("x τ y ≤ z τ") << 20 << 11 << -1 << QStringList{"τ", "≤"} << 2;
        QTest::newRow("a character outside the basic plane is one")
            << QStringLiteral("a\U0001F600b") << 3 << 3 << -1 << QStringList{QStringLiteral("\U0001F600")} << 1;
        QTest::newRow("what is cut off is not counted as replaced")
            << QStringLiteral("abcτ") << 3 << 4 << 3 << QStringList() << -1;
    }
    void fitTellsWhatStoringKeeps() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(int, stored);
        QFETCH(int, firstCut);
        QFETCH(QStringList, replaced);
        QFETCH(int, firstReplaced);
        const fieldtext::Fit fit = fieldtext::fit(text, width);
        QCOMPARE(fit.stored, stored);
        QCOMPARE(fit.firstCut, firstCut);
        QCOMPARE(fit.replaced, replaced);
        QCOMPARE(fit.firstReplaced, firstReplaced);
        std::vector<char> field(static_cast<std::size_t>(width));
        QCOMPARE(fieldtext::store(field, text), fit.whole());
        QCOMPARE(cp1252::encode(fieldtext::withCrLf(text)).size(), qsizetype(stored));
    }

    void textLengthFindsTheLastByteAtEveryPlace_data() {
        QTest::addColumn<char>("byte");
        QTest::newRow("letter") << 'x';
        QTest::newRow("NUL") << '\0';
        QTest::newRow("tab") << '\t';
        QTest::newRow("line feed") << '\n';
        QTest::newRow("0xA0, no space here") << char(0xA0);
        QTest::newRow("0xFF") << char(0xFF);
        QTest::newRow("space plus one") << char(' ' + 1);
        QTest::newRow("space minus one") << char(' ' - 1);
    }
    void textLengthFindsTheLastByteAtEveryPlace() {
        QFETCH(char, byte);
        for (std::size_t width = 0; width <= 260; ++width) {
            std::vector<char> field(width, ' ');
            QCOMPARE(fieldtext::textLength(field), std::size_t(0));
            for (std::size_t at = 0; at < width; ++at) {
                std::fill(field.begin(), field.end(), ' ');
                field[at] = byte;
                QCOMPARE(fieldtext::textLength(field), at + 1);
            }
        }
    }

    // A field seen through a span that does not start on any alignment, as
    // fields inside a slot are.
    void textLengthAtAnyAlignment() {
        std::vector<char> slot(1100, ' ');
        for (std::size_t shift = 0; shift < 16; ++shift) {
            for (const std::size_t last : {std::size_t(0), std::size_t(15), std::size_t(63), std::size_t(999)}) {
                std::fill(slot.begin(), slot.end(), ' ');
                slot[shift + last] = 'a';
                QCOMPARE(fieldtext::textLength(std::span<const char>(slot.data() + shift, 1000)), last + 1);
            }
        }
    }

    // Random fields, their bytes drawn mostly from spaces so that runs of
    // them of every length come up.
    void textLengthAgreesWithTheByteLoop() {
        QRandomGenerator random(26);
        for (int round = 0; round < 5000; ++round) {
            std::vector<char> field(std::size_t(random.bounded(1, 1001)));
            const int spaceShare = random.bounded(0, 101);
            for (char& c : field) {
                c = random.bounded(100) < spaceShare ? ' ' : char(random.bounded(256));
            }
            const auto tail = std::size_t(random.bounded(int(field.size()) + 1));
            std::fill(field.end() - std::ptrdiff_t(tail), field.end(), ' ');
            QCOMPARE(fieldtext::textLength(field), plainLength(field));
        }
    }

    // --- reading a field's text

    // Each byte value, at every place of texts a little longer than two
    // blocks of sixteen, reads as the code page says.
    void readDecodesEveryByteAtEveryPlace() {
        for (int value = 0; value < 256; ++value) {
            if (value == ' ') continue;
            for (std::size_t at = 0; at < 40; ++at) {
                std::vector<char> field(40, 'a');
                field.resize(60, ' ');
                field[at] = char(value);
                QCOMPARE(fieldtext::read(field), cp1252::decode(field.data(), 40));
            }
        }
    }

    void readAgreesWithTheCodePageOnRandomFields() {
        QRandomGenerator random(25);
        for (int round = 0; round < 2000; ++round) {
            std::vector<char> field(255, ' ');
            const auto length = std::size_t(random.bounded(256));
            const bool codePageOnly = random.bounded(2) == 0;
            for (std::size_t i = 0; i < length; ++i) {
                field[i] = codePageOnly ? char(random.bounded(0x80, 0xA0)) : char(random.bounded(0x20, 0x100));
            }
            QCOMPARE(fieldtext::read(field), cp1252::decode(field.data(), qsizetype(fieldtext::textLength(field))));
        }
    }
};

QTEST_APPLESS_MAIN(TestFieldText)
#include "tst_field_text.moc"
