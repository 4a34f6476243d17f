#include "exchange/number_format.h"

#include <QDate>
#include <QStringList>
#include <cmath>
#include <optional>

namespace numberformat {
namespace {

const QChar kDecimalComma = u',';
const QChar kGroup = u'\u00A0';  // a French spreadsheet's thousands separator, which the data file can hold
const int kSignificant = 15;      // the digits a spreadsheet keeps of a number

const char* const kMonths[] = {"janvier", "février", "mars",      "avril",   "mai",      "juin",
                               "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};
const char* const kShortMonths[] = {"janv.", "févr.", "mars", "avr.", "mai",  "juin",
                                    "juil.", "août",  "sept.", "oct.", "nov.", "déc."};
const char* const kDays[] = {"lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"};
const char* const kShortDays[] = {"lun.", "mar.", "mer.", "jeu.", "ven.", "sam.", "dim."};

// A magnitude's decimal digits, kept to the digits a spreadsheet keeps:
// the integer part and as many decimals as the number has, before rounding.
struct Digits {
    QString integer;   // without leading zeros; empty for 0
    QString fraction;  // without trailing zeros
};

Digits digitsOf(double magnitude) {
    if (magnitude == 0 || !std::isfinite(magnitude)) return {};
    const QString e = QString::number(magnitude, 'e', kSignificant - 1);  // "d.dddddddddddddde+XX"
    const qsizetype at = e.indexOf(u'e');
    QString digits = e.left(at).remove(u'.');
    int point = e.mid(at + 1).toInt() + 1;  // digits before the decimal point
    if (point < 0) {
        digits.prepend(QString(-point, u'0'));
        point = 0;
    }
    if (digits.size() < point) digits.append(QString(point - digits.size(), u'0'));
    Digits result{digits.left(point), digits.mid(point)};
    while (result.integer.startsWith(u'0')) result.integer.remove(0, 1);
    while (result.fraction.endsWith(u'0')) result.fraction.chop(1);
    return result;
}

// Rounded half away from zero to `decimals` decimals, as a spreadsheet
// rounds what it shows; the fraction then has exactly that many digits.
Digits rounded(Digits digits, int decimals) {
    if (digits.fraction.size() > decimals) {
        const bool up = digits.fraction[decimals] >= u'5';
        digits.fraction.truncate(decimals);
        if (up) {
            QString all = digits.integer + digits.fraction;
            qsizetype i = all.size() - 1;
            for (; i >= 0 && all[i] == u'9'; --i) all[i] = u'0';
            if (i >= 0) {
                all[i] = QChar(all[i].unicode() + 1);
            } else {
                all.prepend(u'1');
            }
            digits.integer = all.left(all.size() - decimals);
            digits.fraction = all.right(decimals);
        }
    }
    digits.fraction += QString(decimals - digits.fraction.size(), u'0');
    while (digits.integer.startsWith(u'0')) digits.integer.remove(0, 1);
    return digits;
}

QString grouped(const QString& integer) {
    QString out;
    for (qsizetype i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0) out += kGroup;
        out += integer[i];
    }
    return out;
}

// One piece of a format section: a literal text, or a run of one code
// letter (a digit placeholder, a date or time letter...).
struct Piece {
    enum class Kind { literal, code, elapsed } kind;
    QString text;  // the literal, or the code letters as written
};

// A format's sections, split at the semicolons outside quotes and brackets.
QStringList sectionsOf(const QString& code) {
    QStringList sections{QString()};
    bool quoted = false;
    bool bracketed = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code[i];
        if (ch == u'\\' && !quoted && i + 1 < code.size()) {
            sections.back() += ch;
            sections.back() += code[++i];
            continue;
        }
        if (ch == u'"') quoted = !quoted;
        if (!quoted && ch == u'[') bracketed = true;
        if (!quoted && ch == u']') bracketed = false;
        if (ch == u';' && !quoted && !bracketed) {
            sections.append(QString());
            continue;
        }
        sections.back() += ch;
    }
    return sections;
}

// The section's pieces: quotes and escapes become literals; colours and
// conditions are dropped, a currency's symbol kept; `_x` (room for x)
// and `*x` (fill with x) show nothing.
std::vector<Piece> piecesOf(const QString& section) {
    std::vector<Piece> pieces;
    const auto literal = [&pieces](const QString& text) {
        if (!pieces.empty() && pieces.back().kind == Piece::Kind::literal) {
            pieces.back().text += text;
        } else {
            pieces.push_back({Piece::Kind::literal, text});
        }
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar ch = section[i];
        if (ch == u'"') {
            const qsizetype end = section.indexOf(u'"', i + 1);
            literal(section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1));
            i = end < 0 ? section.size() : end;
        } else if (ch == u'\\' && i + 1 < section.size()) {
            literal(section.mid(++i, 1));
        } else if ((ch == u'_' || ch == u'*') && i + 1 < section.size()) {
            ++i;
        } else if (ch == u'[') {
            const qsizetype end = section.indexOf(u']', i + 1);
            const QString inside = section.mid(i + 1, (end < 0 ? section.size() : end) - i - 1);
            i = end < 0 ? section.size() : end;
            const QString lower = inside.toLower();
            if (!lower.isEmpty() && (lower.count(lower[0]) == lower.size()) &&
                (lower[0] == u'h' || lower[0] == u'm' || lower[0] == u's')) {
                pieces.push_back({Piece::Kind::elapsed, lower});
            } else if (inside.startsWith(u'$')) {
                literal(inside.mid(1).section(u'-', 0, 0));
            }
        } else if (section.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            pieces.push_back({Piece::Kind::code, QStringLiteral("AM/PM")});
            i += 4;
        } else if (section.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            pieces.push_back({Piece::Kind::code, QStringLiteral("A/P")});
            i += 2;
        } else if (QStringLiteral("0#?.,%EeyYmMdDhHsS@").contains(ch)) {
            const QChar letter = ch.toLower();
            const bool runs = QStringLiteral("ymdhs").contains(letter);
            if (runs && !pieces.empty() && pieces.back().kind == Piece::Kind::code &&
                pieces.back().text.front().toLower() == letter) {
                pieces.back().text += ch;
            } else if (letter == u'e' && i + 1 < section.size() && (section[i + 1] == u'+' || section[i + 1] == u'-')) {
                pieces.push_back({Piece::Kind::code, section.mid(i, 2)});
                ++i;
            } else {
                pieces.push_back({Piece::Kind::code, QString(ch)});
            }
        } else {
            literal(QString(ch));
        }
    }
    return pieces;
}

bool isDatePiece(const Piece& piece) {
    if (piece.kind == Piece::Kind::elapsed) return true;
    if (piece.kind != Piece::Kind::code) return false;
    const QChar letter = piece.text.front().toLower();
    return QStringLiteral("ymdhs").contains(letter) || piece.text == QLatin1String("AM/PM") || piece.text == QLatin1String("A/P");
}

// --- Dates and times

QString padded(qint64 number, qsizetype width) { return QStringLiteral("%1").arg(number, int(width), 10, QLatin1Char('0')); }

QString shownDate(double serial, const std::vector<Piece>& pieces, bool date1904) {
    // The finest unit shown decides the rounding: a time a hair before
    // midnight shown to the minute is midnight of the next day.
    int fractionDigits = 0;  // "ss.00": the point after the seconds, then its zeros
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        if (pieces[i].text == QLatin1String(".") && i > 0 && pieces[i - 1].kind == Piece::Kind::code &&
            pieces[i - 1].text.front().toLower() == u's') {
            for (std::size_t j = i + 1; j < pieces.size() && pieces[j].text == QLatin1String("0") && fractionDigits < 3; ++j) {
                ++fractionDigits;
            }
        }
    }
    const double unitsPerDay = 86400.0 * std::pow(10.0, fractionDigits);
    const auto units = static_cast<qint64>(std::llround(serial * unitsPerDay));
    const auto perDay = static_cast<qint64>(unitsPerDay);
    const qint64 days = units / perDay;
    const qint64 inDay = units % perDay;
    const qint64 scale = perDay / 86400;
    const qint64 seconds = inDay / scale;
    const qint64 fraction = inDay % scale;
    QDate date;
    if (date1904) {
        date = QDate(1904, 1, 1).addDays(days);
    } else {
        // Day 60 of the 1900 system is a 29 February that never was.
        date = QDate(1899, 12, days < 60 ? 31 : 30).addDays(days);
    }
    const bool twelveHours = std::any_of(pieces.begin(), pieces.end(), [](const Piece& piece) {
        return piece.text == QLatin1String("AM/PM") || piece.text == QLatin1String("A/P");
    });
    const qint64 hour = seconds / 3600;
    QString out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        if (piece.kind == Piece::Kind::literal) {
            out += piece.text;
            continue;
        }
        if (piece.kind == Piece::Kind::elapsed) {
            const QChar unit = piece.text.front();
            const qint64 total = unit == u'h' ? days * 24 + hour : unit == u'm' ? days * 1440 + seconds / 60 : days * 86400 + seconds;
            out += padded(total, piece.text.size());
            continue;
        }
        const QChar letter = piece.text.front().toLower();
        const qsizetype run = piece.text.size();
        if (piece.text == QLatin1String("AM/PM")) {
            out += hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
        } else if (piece.text == QLatin1String("A/P")) {
            out += hour < 12 ? QStringLiteral("A") : QStringLiteral("P");
        } else if (letter == u'y' || letter == u'e') {
            out += run <= 2 && letter == u'y' ? padded(date.year() % 100, 2) : QString::number(date.year());
        } else if (letter == u'd') {
            if (run <= 2) {
                out += padded(date.day(), run);
            } else {
                out += QString::fromUtf8((run == 3 ? kShortDays : kDays)[date.dayOfWeek() - 1]);
            }
        } else if (letter == u'h') {
            const qint64 shownHour = twelveHours ? (hour % 12 == 0 ? 12 : hour % 12) : hour;
            out += padded(shownHour, std::min<qsizetype>(run, 2));
        } else if (letter == u's') {
            out += padded(seconds % 60, std::min<qsizetype>(run, 2));
            if (fractionDigits > 0 && i + 1 < pieces.size() && pieces[i + 1].text == QLatin1String(".")) {
                out += kDecimalComma + padded(fraction, fractionDigits);
                i += 1 + std::size_t(fractionDigits);
            }
        } else if (letter == u'm') {
            // Minutes after an hour or before seconds, else the month.
            const auto codeAt = [&](std::size_t from, int step) -> QChar {
                for (auto j = qsizetype(from) + step; j >= 0 && j < qsizetype(pieces.size()); j += step) {
                    if (pieces[std::size_t(j)].kind != Piece::Kind::literal) return pieces[std::size_t(j)].text.front().toLower();
                }
                return {};
            };
            if (codeAt(i, -1) == u'h' || codeAt(i, +1) == u's' || pieces[i > 0 ? i - 1 : 0].kind == Piece::Kind::elapsed) {
                out += padded((seconds / 60) % 60, std::min<qsizetype>(run, 2));
            } else if (run <= 2) {
                out += padded(date.month(), run);
            } else if (run == 3) {
                out += QString::fromUtf8(kShortMonths[date.month() - 1]);
            } else if (run == 4) {
                out += QString::fromUtf8(kMonths[date.month() - 1]);
            } else {
                out += QString::fromUtf8(kMonths[date.month() - 1]).left(1);
            }
        } else {
            out += piece.text;
        }
    }
    return out;
}

// --- Numbers

QString shownNumber(double value, const std::vector<Piece>& pieces) {
    // What the section asks: digit placeholders before and after the point,
    // thousands, scaling by the commas after the digits, percent, exponent.
    std::vector<std::size_t> integerSlots;
    std::vector<std::size_t> fractionSlots;
    std::optional<std::size_t> exponent;
    bool point = false;
    bool thousands = false;
    int scale = 0;
    int percent = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        if (piece.kind != Piece::Kind::code) continue;
        const QChar ch = piece.text.front();
        if (exponent) continue;
        if (ch == u'0' || ch == u'#' || ch == u'?') {
            (point ? fractionSlots : integerSlots).push_back(i);
        } else if (ch == u'.') {
            point = true;
        } else if (ch == u',') {
            // Between digits, thousands; after the last digit, thousands fewer.
            const bool digitFollows = std::any_of(pieces.begin() + qsizetype(i) + 1, pieces.end(), [](const Piece& next) {
                return next.kind == Piece::Kind::code && QStringLiteral("0#?").contains(next.text.front());
            });
            if (!digitFollows) {
                ++scale;
            } else if (!point && !integerSlots.empty()) {
                thousands = true;
            }
        } else if (ch == u'%') {
            ++percent;
        } else if (ch.toLower() == u'e') {
            exponent = i;
        }
    }
    if (integerSlots.empty() && fractionSlots.empty()) {
        QString out;
        for (const Piece& piece : pieces) out += piece.kind == Piece::Kind::literal ? piece.text : QString();
        return out.isEmpty() ? general(value) : out;
    }
    double magnitude = std::abs(value) * std::pow(100.0, percent) / std::pow(1000.0, scale);
    int power = 0;
    if (exponent && magnitude != 0) {
        const int wanted = std::max<int>(1, int(integerSlots.size()));
        power = int(std::floor(std::log10(magnitude))) - (wanted - 1);
        if (pieces[integerSlots.front()].text == QLatin1String("#") && wanted > 1) {
            power = int(std::floor(double(int(std::floor(std::log10(magnitude)))) / wanted)) * wanted;  // engineering
        }
        magnitude /= std::pow(10.0, power);
    }
    Digits digits = rounded(digitsOf(magnitude), int(fractionSlots.size()));
    if (exponent && digits.integer.size() > qsizetype(std::max<std::size_t>(1, integerSlots.size()))) {
        // Rounding made one more digit: 9,99 to 10,0.
        magnitude /= 10;
        ++power;
        digits = rounded(digitsOf(magnitude), int(fractionSlots.size()));
    }
    // Integer digits, from the right, one a slot, the first slot taking the
    // rest; with thousands, the whole integer grouped at the first slot.
    std::vector<QString> filled(pieces.size());
    if (thousands) {
        const auto zeros = std::count_if(integerSlots.begin(), integerSlots.end(),
                                         [&](std::size_t slot) { return pieces[slot].text == QLatin1String("0"); });
        filled[integerSlots.front()] = grouped(digits.integer.rightJustified(zeros, u'0'));
    } else {
        QString integer = digits.integer;
        for (std::size_t k = integerSlots.size(); k-- > 0;) {
            const std::size_t slot = integerSlots[k];
            const QChar kind = pieces[slot].text.front();
            const QString none = kind == u'0' ? QStringLiteral("0") : kind == u'?' ? QStringLiteral(" ") : QString();
            if (integer.isEmpty()) {
                filled[slot] = none;
            } else if (k == 0) {
                filled[slot] = integer;
                integer.clear();
            } else {
                filled[slot] = integer.right(1);
                integer.chop(1);
            }
        }
    }
    // Decimals from the left; trailing zeros of "#" and "?" slots not shown.
    qsizetype lastShown = digits.fraction.size() - 1;
    while (lastShown >= 0 && digits.fraction[lastShown] == u'0' &&
           pieces[fractionSlots[std::size_t(lastShown)]].text != QLatin1String("0")) {
        --lastShown;
    }
    for (std::size_t k = 0; k < fractionSlots.size(); ++k) {
        const QChar kind = pieces[fractionSlots[k]].text.front();
        filled[fractionSlots[k]] = qsizetype(k) <= lastShown ? QString(digits.fraction[qsizetype(k)])
                                   : kind == u'?'            ? QStringLiteral(" ")
                                                             : QString();
    }
    QString out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        if (piece.kind == Piece::Kind::literal) {
            out += piece.text;
            continue;
        }
        const QChar ch = piece.text.front();
        if (exponent && i == *exponent) {
            QString power10 = QString::number(std::abs(power));
            qsizetype zeros = 0;
            for (std::size_t j = i + 1; j < pieces.size() && pieces[j].text == QLatin1String("0"); ++j) ++zeros;
            out += u'E';
            out += power < 0 ? QStringLiteral("-") : piece.text.endsWith(u'+') ? QStringLiteral("+") : QString();
            out += power10.rightJustified(zeros, u'0');
            i += std::size_t(zeros);
            continue;
        }
        if (exponent && i > *exponent) continue;
        if (ch == u'.') {
            out += kDecimalComma;
        } else if (ch == u'%') {
            out += u'%';
        } else if (ch == u'@') {
            out += general(value);
        } else if (QStringLiteral("0#?").contains(ch)) {
            out += filled[i];
        }
    }
    return out;
}

}  // namespace

QString builtIn(int id) {
    switch (id) {
        case 1: return QStringLiteral("0");
        case 2: return QStringLiteral("0.00");
        case 3: return QStringLiteral("#,##0");
        case 4: return QStringLiteral("#,##0.00");
        case 9: return QStringLiteral("0%");
        case 10: return QStringLiteral("0.00%");
        case 11: return QStringLiteral("0.00E+00");
        case 14: return QStringLiteral("dd/mm/yyyy");
        case 15: return QStringLiteral("d-mmm-yy");
        case 16: return QStringLiteral("d-mmm");
        case 17: return QStringLiteral("mmm-yy");
        case 18: return QStringLiteral("h:mm AM/PM");
        case 19: return QStringLiteral("h:mm:ss AM/PM");
        case 20: return QStringLiteral("hh:mm");
        case 21: return QStringLiteral("hh:mm:ss");
        case 22: return QStringLiteral("dd/mm/yyyy hh:mm");
        case 37: return QStringLiteral("#,##0 ;(#,##0)");
        case 38: return QStringLiteral("#,##0 ;(#,##0)");
        case 39: return QStringLiteral("#,##0.00;(#,##0.00)");
        case 40: return QStringLiteral("#,##0.00;(#,##0.00)");
        case 45: return QStringLiteral("mm:ss");
        case 46: return QStringLiteral("[h]:mm:ss");
        case 47: return QStringLiteral("mm:ss.0");
        case 48: return QStringLiteral("##0.0E+0");
        case 49: return QStringLiteral("@");
        default: return {};
    }
}

bool isDateOrTime(const QString& code) {
    const QStringList sections = sectionsOf(code);
    const std::vector<Piece> pieces = piecesOf(sections.front());
    return std::any_of(pieces.begin(), pieces.end(), isDatePiece);
}

QString general(double value) {
    if (!std::isfinite(value)) return QString::number(value);
    if (value == 0) return QStringLiteral("0");
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const double magnitude = std::abs(value);
    const int power = int(std::floor(std::log10(magnitude)));
    if (power >= kSignificant || power < -9) {
        // Too long for its digits: the mantissa and its power of ten.
        Digits mantissa = digitsOf(magnitude / std::pow(10.0, power));
        if (mantissa.integer.size() > 1) {
            mantissa = digitsOf(magnitude / std::pow(10.0, power + 1));
        }
        const int shownPower = mantissa.integer.size() == 1 ? power : power + 1;
        QString text = sign + (mantissa.integer.isEmpty() ? QStringLiteral("0") : mantissa.integer);
        if (!mantissa.fraction.isEmpty()) text += kDecimalComma + mantissa.fraction;
        return text + (shownPower < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
               QString::number(std::abs(shownPower)).rightJustified(2, u'0');
    }
    const Digits digits = digitsOf(magnitude);
    QString text = sign + (digits.integer.isEmpty() ? QStringLiteral("0") : digits.integer);
    if (!digits.fraction.isEmpty()) text += kDecimalComma + digits.fraction;
    return text;
}

QString shown(double value, const QString& code, bool date1904) {
    if (!std::isfinite(value)) return QString::number(value);
    const QStringList sections = sectionsOf(code);
    // Positive; negative; zero; text: a negative number shown by the first
    // section alone takes a minus sign before it.
    qsizetype which = 0;
    bool minus = false;
    if (value < 0) {
        if (sections.size() >= 2) {
            which = 1;
        } else {
            minus = true;
        }
    } else if (value == 0 && sections.size() >= 3) {
        which = 2;
    }
    const QString section = sections[which];
    if (section.trimmed().compare(QLatin1String("general"), Qt::CaseInsensitive) == 0 ||
        section.trimmed().compare(QLatin1String("standard"), Qt::CaseInsensitive) == 0 || code.isEmpty()) {
        return which == 1 ? general(std::abs(value)) : general(value);
    }
    const std::vector<Piece> pieces = piecesOf(section);
    if (std::any_of(pieces.begin(), pieces.end(), isDatePiece)) {
        if (value < 0 || value >= 2958466) return general(value);  // no day of any calendar a sheet shows
        return shownDate(value, pieces, date1904);
    }
    QString text = shownNumber(value, pieces);
    const bool showsDigits = std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.isDigit() && ch != u'0'; });
    if (minus && showsDigits) text.prepend(u'-');
    return text;
}

}  // namespace numberformat
