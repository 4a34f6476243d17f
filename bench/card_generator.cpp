#include "card_generator.h"

#include <QFile>

#include "store/field_text.h"

namespace {

const char* const kWords[] = {
    "terminologie", "lexique", "traduction", "équivalence", "néologisme", "dénomination", "notion", "définition",
    "contexte", "emprunt", "calque", "synonyme", "homonyme", "étymologie", "dictionnaire", "glossaire",
    "thésaurus", "corpus", "fréquence", "occurrence", "locution", "expression", "figée", "idiomatique",
    "registre", "soutenu", "familier", "technique", "juridique", "médical", "économique", "financier",
    "contrat", "clause", "résiliation", "préavis", "créance", "débiteur", "échéance", "hypothèque",
    "acier", "alliage", "forgeage", "laminage", "soudure", "électrode", "câble", "réseau",
    "données", "fichier", "enregistrement", "champ", "fiche", "référence", "source", "cible",
    "français", "anglais", "allemand", "espagnol", "italien", "portugais", "néerlandais", "suédois",
    "à", "de", "la", "le", "les", "des", "du", "un", "une", "et", "ou", "par", "pour", "sur", "dans",
    "être", "avoir", "faire", "dire", "voir", "prendre", "mettre", "élève", "forêt", "château", "cœur",
    "œuvre", "ça", "garçon", "leçon", "naïf", "Noël", "où", "déjà", "très", "après", "voilà",
};
constexpr int kWordCount = int(sizeof(kWords) / sizeof(kWords[0]));

const char* const kAuthors[] = {"Dubois", "Martin", "Lefèvre", "Girard", "Rousseau", "Mercier",
                                "Fournier", "Lambert", "Bonnet", "François", "Gauthier", "Chevalier"};

}  // namespace

CardGenerator::CardGenerator(std::uint32_t seed) : m_state(seed ? seed : 1) {}

CardGenerator::CardGenerator(std::uint32_t seed, QStringList source, QStringList target)
    : m_state(seed ? seed : 1), m_source(std::move(source)), m_target(std::move(target)) {}

std::uint32_t CardGenerator::next() {
    // xorshift32: fast and the same everywhere.
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

QString CardGenerator::words(int minimum, int maximum, const QStringList& from) {
    const int count = minimum + int(next() % std::uint32_t(maximum - minimum + 1));
    QString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text.append(u' ');
        text.append(from.isEmpty() ? QString::fromUtf8(kWords[next() % kWordCount]) : from[qsizetype(next() % std::uint32_t(from.size()))]);
    }
    return text;
}

Module1::FicheRecord CardGenerator::card(int numero) {
    Module1::FicheRecord fiche = Module1::emptyCard(numero);
    fiche.reserve.fill('\0');
    fieldtext::store(fiche.expression, words(1, 5, m_source));
    fieldtext::store(fiche.traduction, words(1, 5, m_target));
    fieldtext::store(fiche.dictionnaire, words(2, 12, m_source));
    fieldtext::store(fiche.dictionnairecible, words(2, 12, m_target));
    fieldtext::store(fiche.miscellanea, words(0, 30));
    const QString author = QString::fromUtf8(kAuthors[next() % 12]);
    fieldtext::store(fiche.reference, QStringLiteral("%1, %2, p. %3").arg(author).arg(1950 + next() % 70).arg(next() % 400));
    fieldtext::store(fiche.contexte, words(5, next() % 4 == 0 ? 150 : 40, m_source));
    return fiche;
}

bool CardGenerator::writeFile(const QString& path, int count) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    for (int numero = 1; numero <= count; ++numero) {
        const auto bytes = Module1::toBytes(card(numero));
        if (file.write(bytes.data(), Module1::kSlotSize) != Module1::kSlotSize) return false;
    }
    return file.flush();
}
