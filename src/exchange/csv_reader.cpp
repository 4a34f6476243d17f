#include "exchange/csv_reader.h"

#include <QDir>
#include <QMap>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <optional>

#include "exchange/exchange_error.h"

using Module1::Field;

namespace {

// A column's name as compared: lower case, without accents, marks or spaces.
QString folded(const QString& name) {
    QString out;
    for (const QChar ch : name.normalized(QString::NormalizationForm_D).toLower()) {
        if (ch.isLetterOrNumber()) out += ch;
    }
    return out;
}

// What each known column name holds; nothing for the card number.
const QMap<QString, std::optional<Field>>& knownColumns() {
    static const QMap<QString, std::optional<Field>> columns = [] {
        QMap<QString, std::optional<Field>> map;
        for (const char* name : {"N° fiche", "No fiche", "Numéro fiche", "Numero fiche", "Numéro", "N°"}) {
            map.insert(folded(QString::fromUtf8(name)), std::nullopt);
        }
        const auto add = [&map](Field field, std::initializer_list<const char*> names) {
            for (const char* name : names) map.insert(folded(QString::fromUtf8(name)), field);
        };
        add(Field::expression, {"Expression", "Terme", "Source", "Term", "Source term"});
        add(Field::traduction, {"Traduction", "Cible", "Target", "Translation", "Target term"});
        add(Field::dictionnaire, {"Entrées texte source"});
        add(Field::dictionnairecible, {"Entrées texte cible"});
        add(Field::miscellanea, {"Miscellanea", "Notes", "Note", "Remarques"});
        add(Field::reference, {"Référence", "Références", "Reference"});
        add(Field::contexte, {"Contexte", "Context"});
        return map;
    }();
    return columns;
}

class Reader {
public:
    Reader(const QByteArray& bytes, const QString& fileName) : m_bytes(bytes), m_file(QDir::toNativeSeparators(fileName)) {}

    std::vector<CardText> read() {
        m_text = decoded();
        m_separator = separator();
        std::vector<std::optional<Field>> columns;
        std::vector<CardText> cards;
        qsizetype at = 0;
        while (at < m_text.size()) {
            const qint64 line = m_line;
            const QStringList fields = record(at);
            if (columns.empty()) {
                columns = header(fields);
                continue;
            }
            if (fields.size() > qsizetype(columns.size())) {
                fail(QStringLiteral("a, à la ligne %1, %2 champs alors que la première ligne nomme %3 colonnes")
                         .arg(line)
                         .arg(fields.size())
                         .arg(columns.size()));
            }
            if (std::all_of(fields.begin(), fields.end(), [](const QString& f) { return f.isEmpty(); })) continue;
            CardText card;
            for (qsizetype i = 0; i < fields.size(); ++i) {
                if (columns[std::size_t(i)]) card[*columns[std::size_t(i)]] = fields[i];
            }
            cards.push_back(std::move(card));
        }
        if (columns.empty() || cards.empty()) fail(QStringLiteral("ne contient aucune fiche"));
        return cards;
    }

private:
    [[noreturn]] void fail(const QString& what) const {
        throw ExchangeError(QStringLiteral("Le tableau «\u00A0%1\u00A0» %2. Rien n'a été importé.").arg(m_file, what));
    }

    QString decoded() {
        if (m_bytes.startsWith("\xFF\xFE") || m_bytes.startsWith("\xFE\xFF")) {
            fail(QStringLiteral("est enregistré en UTF-16\u00A0: enregistrez-le en «\u00A0CSV UTF-8\u00A0» et recommencez"));
        }
        QByteArray bytes = m_bytes;
        if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
        // A line feed never lies inside a UTF-8 sequence: lines are checked one by one.
        const QList<QByteArray> lines = bytes.split('\n');
        QString text;
        text.reserve(bytes.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString line = utf8(lines[i]);
            if (utf8.hasError() || lines[i].contains('\0')) {
                fail(QStringLiteral("n'est pas en UTF-8 (ligne %1)\u00A0: il est sans doute dans un autre codage, "
                                    "comme Windows-1252. Enregistrez-le en «\u00A0CSV UTF-8\u00A0» et recommencez")
                         .arg(i + 1));
            }
            if (i > 0) text += u'\n';
            text += line;
        }
        return text;
    }

    // The separator the first line uses most, outside quotes.
    QChar separator() const {
        int semicolons = 0, commas = 0, tabs = 0;
        bool quoted = false;
        for (const QChar ch : m_text) {
            if (ch == u'"') quoted = !quoted;
            if (quoted) continue;
            if (ch == u'\n' || ch == u'\r') break;
            semicolons += ch == u';';
            commas += ch == u',';
            tabs += ch == u'\t';
        }
        if (semicolons >= commas && semicolons >= tabs && semicolons > 0) return u';';
        if (tabs >= commas && tabs > 0) return u'\t';
        return u',';
    }

    std::vector<std::optional<Field>> header(const QStringList& names) const {
        std::vector<std::optional<Field>> columns;
        QList<Field> seen;
        for (const QString& name : names) {
            const auto known = knownColumns().find(folded(name));
            if (known == knownColumns().end()) {
                fail(QStringLiteral("a une colonne «\u00A0%1\u00A0» que Lexicarium ne connaît pas (ligne 1)\u00A0; "
                                    "les colonnes sont «\u00A0%2\u00A0». Renommez-la ou retirez-la")
                         .arg(name, QStringLiteral("N° fiche, Expression, Traduction, Entrées texte source, "
                                                   "Entrées texte cible, Miscellanea, Référence, Contexte")));
            }
            if (*known && seen.contains(**known)) {
                fail(QStringLiteral("a deux colonnes pour «\u00A0%1\u00A0» (ligne 1)").arg(name));
            }
            if (*known) seen.append(**known);
            columns.push_back(*known);
        }
        return columns;
    }

    // The fields of the record starting at `at`, which moves past it.
    QStringList record(qsizetype& at) {
        QStringList fields;
        QString field;
        const qint64 start = m_line;
        while (true) {
            if (at < m_text.size() && m_text[at] == u'"') {
                ++at;
                while (true) {
                    if (at >= m_text.size()) {
                        fail(QStringLiteral("a un guillemet ouvert à la ligne %1 qui n'est jamais refermé").arg(start));
                    }
                    const QChar ch = m_text[at++];
                    if (ch == u'"') {
                        if (at < m_text.size() && m_text[at] == u'"') {
                            field += u'"';
                            ++at;
                            continue;
                        }
                        break;
                    }
                    if (ch == u'\n') ++m_line;
                    field += ch;
                }
                if (at < m_text.size() && m_text[at] != m_separator && m_text[at] != u'\r' && m_text[at] != u'\n') {
                    fail(QStringLiteral("a, à la ligne %1, un champ entre guillemets suivi de «\u00A0%2\u00A0» au lieu "
                                        "d'un séparateur")
                             .arg(m_line)
                             .arg(m_text[at]));
                }
            } else {
                while (at < m_text.size() && m_text[at] != m_separator && m_text[at] != u'\r' && m_text[at] != u'\n') {
                    field += m_text[at++];
                }
            }
            fields.append(field);
            field.clear();
            if (at >= m_text.size()) return fields;
            const QChar end = m_text[at++];
            if (end == m_separator) continue;
            if (end == u'\r' && at < m_text.size() && m_text[at] == u'\n') ++at;
            ++m_line;
            return fields;
        }
    }

    const QByteArray& m_bytes;
    QString m_file;
    QString m_text;
    QChar m_separator;
    qint64 m_line = 1;
};

}  // namespace

std::vector<CardText> readCsv(const QByteArray& bytes, const QString& fileName) {
    return Reader(bytes, fileName).read();
}
