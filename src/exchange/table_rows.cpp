#include "exchange/table_rows.h"

#include <algorithm>

namespace {

// How far down a table its column titles are looked for: below that, the
// first row is taken for them, as a table without a title above has it.
constexpr std::size_t kRowsAboveTitles = 10;

bool isBlank(const QStringList& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const QString& field) { return field.trimmed().isEmpty(); });
}

QString quotedList(const QStringList& names) {
    QStringList quoted;
    for (const QString& name : names) quoted.append(QStringLiteral("«\u00A0%1\u00A0»").arg(name));
    if (quoted.size() < 2) return quoted.join(QString());
    const QString last = quoted.takeLast();
    return quoted.join(QStringLiteral(", ")) + QStringLiteral(" et ") + last;
}

}  // namespace

TableRows::TableRows(std::int32_t room, std::function<void(const QString&)> fail) : m_room(room), m_fail(std::move(fail)) {}

void TableRows::add(const QStringList& fields, qint64 line) {
    if (isBlank(fields)) return;
    if (m_header) {
        addEntry(fields, line);
        return;
    }
    m_above.push_back({fields, line});
    if (CsvColumns::looksLikeTitles(fields)) {
        takeTitles(m_above.size() - 1);
    } else if (m_above.size() >= kRowsAboveTitles) {
        takeTitles(0);
    }
}

// The row at `at` names the columns: those above it are titles of the
// table, those below it entries.
void TableRows::takeTitles(std::size_t at) {
    m_header.emplace(m_above[at].fields, m_above[at].line, m_fail);
    m_titleRowsLeft = qsizetype(at);
    std::vector<Row> below(m_above.begin() + qsizetype(at) + 1, m_above.end());
    m_above.clear();
    for (const Row& row : below) addEntry(row.fields, row.line);
}

void TableRows::addEntry(const QStringList& fields, qint64 line) {
    const qsizetype named = m_header->count();
    if (fields.size() > named && !isBlank(fields.mid(named))) {
        m_fail(QStringLiteral("a, à la ligne %1, %2 champs alors que la ligne des titres nomme %3 colonnes")
                   .arg(line)
                   .arg(fields.size())
                   .arg(named));
    }
    glossary::Entry entry = m_header->entry(fields);
    entry.line = line;
    const bool anyTerm = std::any_of(entry.languages.begin(), entry.languages.end(),
                                     [](const glossary::LanguagePart& part) { return !part.terms.empty(); });
    if (anyTerm && ++m_withTerms > m_room) m_fail(glossary::pastTheRoom(m_room));
    m_glossary.entries.push_back(std::move(entry));
}

glossary::Glossary TableRows::finish() {
    if (!m_header && !m_above.empty()) takeTitles(0);
    if (!m_header || m_withTerms == 0) m_fail(QStringLiteral("ne contient aucune fiche"));
    for (const QString& language : m_header->languages()) {
        const bool used = std::any_of(m_glossary.entries.begin(), m_glossary.entries.end(), [&](const glossary::Entry& entry) {
            return std::any_of(entry.languages.begin(), entry.languages.end(), [&](const glossary::LanguagePart& part) {
                return part.language == language && !part.terms.empty();
            });
        });
        if (used) m_glossary.languages.append(language);  // an empty column is nothing to choose from
    }
    if (m_header->directed() && m_glossary.languages.size() == 2) {
        m_glossary.mainLanguage = m_glossary.languages.front();
        m_glossary.directed = true;
    }
    if (m_titleRowsLeft > 0) {
        m_glossary.remarks.append(m_titleRowsLeft == 1
                                      ? QStringLiteral("La première ligne, un titre au-dessus de la ligne des titres de "
                                                       "colonnes, a été laissée de côté.")
                                      : QStringLiteral("Les %1 premières lignes, des titres au-dessus de la ligne des "
                                                       "titres de colonnes, ont été laissées de côté.")
                                            .arg(m_titleRowsLeft));
    }
    if (const QStringList& others = m_header->others(); !others.isEmpty()) {
        const QString example = others.front();
        m_glossary.remarks.append(
            (others.size() == 1 ? QStringLiteral("La colonne %1 n'a pas de champ dans une fiche\u00A0: ce qu'elle porte")
                                : QStringLiteral("Les colonnes %1 n'ont pas de champ dans une fiche\u00A0: ce qu'elles portent"))
                .arg(quotedList(others)) +
            QStringLiteral(" ira dans les Miscellanea, sous la forme «\u00A0%1\u00A0: …\u00A0».").arg(example));
    }
    return std::move(m_glossary);
}
