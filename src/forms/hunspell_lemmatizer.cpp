#include "forms/hunspell_lemmatizer.h"

#include <QFile>
#include <hunspell/hunspell.hxx>

namespace {

// The affixes of the English dictionaries (SCOWL's flags) that make forms of
// one word: plural and third person (S), "-ing" (G), "-ed" (D), "'s" (M).
// Their others ("-ment", "-ness", "-ly", "re-"...) make other words.
QString inflectingFlagsOf(const QString& language) {
    if (language == QLatin1String("en")) return QStringLiteral("SGDM");
    return {};
}

// The value of a field of an analysis, " st:cheval po:nom", or empty.
QString fieldOf(const QString& analysis, QLatin1StringView name) {
    for (const QString& part : analysis.split(u' ', Qt::SkipEmptyParts)) {
        if (part.startsWith(name) && part.size() > name.size() && part[name.size()] == u':') return part.mid(name.size() + 1);
    }
    return {};
}

// Hunspell shares tables between its instances, counted without a lock:
// one instance is made or let go at a time, whatever the thread.
std::mutex& instancesTurn() {
    static std::mutex turn;
    return turn;
}

}  // namespace

HunspellLemmatizer::HunspellLemmatizer(const QString& language, const QString& affixFile, const QString& dictionaryFile)
    : m_inflectingFlags(inflectingFlagsOf(language)), m_stemmer(language) {
    if (!QFile::exists(affixFile) || !QFile::exists(dictionaryFile)) return;
    const std::lock_guard<std::mutex> lock(instancesTurn());
    m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(affixFile).constData(),
                                            QFile::encodeName(dictionaryFile).constData());
    const QString encoding = QString::fromStdString(m_hunspell->get_dict_encoding()).toUpper();
    m_latin1 = encoding == QLatin1String("ISO8859-1") || encoding == QLatin1String("ISO-8859-1");
    // A dictionary in an encoding of its own cannot be asked about these words.
    if (!m_latin1 && encoding != QLatin1String("UTF-8")) m_hunspell.reset();
}

HunspellLemmatizer::~HunspellLemmatizer() {
    const std::lock_guard<std::mutex> lock(instancesTurn());
    m_hunspell.reset();
}

std::string HunspellLemmatizer::encoded(const QString& word) const {
    return m_latin1 ? word.toLatin1().toStdString() : word.toUtf8().toStdString();
}

QString HunspellLemmatizer::decoded(const std::string& text) const {
    return m_latin1 ? QString::fromLatin1(text.data(), qsizetype(text.size()))
                    : QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Whether an analysis gives a form of the word its stem is: one with no
// affix named, or an affix the dictionary makes forms with.
bool HunspellLemmatizer::inflects(const std::string& analysis) const {
    if (m_inflectingFlags.isEmpty()) return true;
    const QString flags = fieldOf(decoded(analysis), QLatin1StringView("fl"));
    return flags.isEmpty() || std::all_of(flags.begin(), flags.end(), [this](QChar flag) { return m_inflectingFlags.contains(flag); });
}

Lemmatizer::Lemmas HunspellLemmatizer::lemmasOf(const QString& word) const {
    Lemmas lemmas;
    if (m_hunspell && !word.isEmpty()) {
        const std::string spelt = encoded(word);
        const std::lock_guard<std::mutex> lock(m_turn);
        for (const std::string& analysis : m_hunspell->analyze(spelt)) {
            if (!inflects(analysis)) continue;
            const QString stem = fieldOf(decoded(analysis), QLatin1StringView("st")).toLower();
            if (!stem.isEmpty() && !lemmas.keys.contains(stem)) lemmas.keys.append(stem);
        }
        if (lemmas.keys.isEmpty()) {
            // A dictionary without morphology: its stems.
            for (const std::string& stem : m_hunspell->stem(spelt)) {
                const QString lower = decoded(stem).toLower();
                if (!lemmas.keys.contains(lower)) lemmas.keys.append(lower);
            }
        }
    }
    if (lemmas.keys.isEmpty()) {
        lemmas.keys.append(u'~' + m_stemmer.stem(word));
        lemmas.stemmed = true;
    }
    return lemmas;
}

bool HunspellLemmatizer::knows(const QString& word) const {
    if (!m_hunspell) return false;
    const std::string spelt = encoded(word);
    const std::lock_guard<std::mutex> lock(m_turn);
    return m_hunspell->spell(spelt);
}
