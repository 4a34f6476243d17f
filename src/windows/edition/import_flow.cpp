#include "windows/edition/import_flow.h"

#include <QDate>
#include <QDir>
#include <functional>
#include <new>

#include "exchange/card_import.h"
#include "exchange/exchange_error.h"
#include "exchange/glossary_cards.h"
#include "exchange/languages.h"
#include "store/data_file.h"
#include "store/store_error.h"
#include "windows/common/data_file_failure.h"
#include "windows/consultation/language_pair_dialog.h"
#include "windows/controls/alert.h"
#include "windows/controls/busy_cursor.h"
#include "windows/controls/common_dialog.h"
#include "windows/edition/sheet_dialog.h"

namespace {

const QString kFilter = QStringLiteral(
    "Glossaires et tableaux (*.tbx *.csv *.xlsx *.ods *.txt *.tab *.utf8)|*.tbx;*.csv;*.xlsx;*.ods;*.txt;*.tab;*.utf8|"
    "Glossaire TBX (*.tbx)|*.tbx|Tableau CSV (*.csv)|*.csv|Classeur Excel (*.xlsx)|*.xlsx|"
    "Classeur OpenDocument (*.ods)|*.ods|"
    "Glossaire OmegaT, séparé par des tabulations (*.txt *.tab *.utf8)|*.txt;*.tab;*.utf8");

QString cardCount(qsizetype count) {
    return count == 1 ? QStringLiteral("1 fiche") : QStringLiteral("%1 fiches").arg(count);
}

QString numbers(const cardimport::Plan& plan) {
    return plan.count() == 1 ? QStringLiteral("n° %1").arg(plan.first)
                                  : QStringLiteral("n° %1 à %2").arg(plan.first).arg(plan.last());
}

// « N fiches seront ajoutées ; M sont déjà dans le fichier et seront
// laissées de côté », before the import or, done, after it.
QString alreadyThere(const cardimport::Plan& plan, bool done) {
    const auto added = qsizetype(plan.count());
    const QString kept = added == 1 ? (done ? QStringLiteral("1 fiche a été ajoutée") : QStringLiteral("1 fiche sera ajoutée"))
                                    : (done ? QStringLiteral("%1 fiches ont été ajoutées")
                                            : QStringLiteral("%1 fiches seront ajoutées"))
                                          .arg(added);
    const QString left =
        plan.alreadyThere == 1
            ? (done ? QStringLiteral("1 était déjà dans le fichier et a été laissée de côté")
                    : QStringLiteral("1 est déjà dans le fichier et sera laissée de côté"))
            : (done ? QStringLiteral("%1 étaient déjà dans le fichier et ont été laissées de côté")
                    : QStringLiteral("%1 sont déjà dans le fichier et seront laissées de côté"))
                  .arg(plan.alreadyThere);
    return kept + QStringLiteral("\u00A0; ") + left + QLatin1Char('.');
}

// The lines of the file the cards came from: "de la ligne 4", "des lignes 4,
// 12 et 31", the first ten named.
QString fromLines(const std::vector<qint64>& lines) {
    constexpr std::size_t kNamed = 10;
    QStringList named;
    for (std::size_t i = 0; i < lines.size() && i < kNamed; ++i) named.append(QString::number(lines[i]));
    if (named.size() == 1) return QStringLiteral("de la ligne %1").arg(named.front());
    if (lines.size() > kNamed) return QStringLiteral("des lignes %1 et de %2 autres").arg(named.join(QStringLiteral(", "))).arg(lines.size() - kNamed);
    const QString last = named.takeLast();
    return QStringLiteral("des lignes %1 et %2").arg(named.join(QStringLiteral(", ")), last);
}

// The cards whose text did not fit whole, by the lines they came from where
// known: before the import, and after.
QString altered(const cardimport::Plan& plan, bool done) {
    const bool byLine = plan.alteredLines.size() == std::size_t(plan.altered);
    const QString cards = !byLine ? cardCount(plan.altered)
                          : plan.altered == 1 ? QStringLiteral("La fiche %1").arg(fromLines(plan.alteredLines))
                                              : QStringLiteral("Les fiches %1").arg(fromLines(plan.alteredLines));
    return QStringLiteral("%1 %2 des champs trop longs, %3 à leur largeur, ou des caractères que le fichier de "
                          "données ne peut pas garder, %4 «\u00A0?\u00A0».")
        .arg(cards,
             plan.altered == 1 ? (done ? QStringLiteral("avait") : QStringLiteral("a"))
                               : (done ? QStringLiteral("avaient") : QStringLiteral("ont")),
             done ? QStringLiteral("qui ont été coupés") : QStringLiteral("qui seront coupés"),
             done ? QStringLiteral("qui sont devenus") : QStringLiteral("qui deviendront"));
}

QString languageNamed(const QString& code) {
    const QString name = languages::nameOf(code);
    return name.isEmpty() ? QStringLiteral("«\u00A0%1\u00A0»").arg(code) : QStringLiteral("%1 (%2)").arg(name, code);
}

QString languagesNamed(const QStringList& codes) {
    QStringList named;
    for (const QString& code : codes) named.append(languageNamed(code));
    if (named.size() < 2) return named.join(QString());
    const QString last = named.takeLast();
    return named.join(QStringLiteral(", ")) + QStringLiteral(" et ") + last;
}

QString question(const QString& file, const cardimport::Plan& plan, const glossary::Selection& selection,
                 const glossary::Pair& pair, const QStringList& remarks) {
    const QString added = plan.count() == 1
                              ? QStringLiteral("Elle sera ajoutée après la dernière fiche, sous le numéro %1")
                                    .arg(plan.first)
                              : QStringLiteral("Elles seront ajoutées après la dernière fiche, sous les numéros %1 à %2")
                                    .arg(plan.first)
                                    .arg(plan.last());
    const QString direction = pair.source.isEmpty() ? QString()
                                                    : QStringLiteral(" (de %1 vers %2)")
                                                          .arg(languageNamed(pair.source), languageNamed(pair.target));
    QString text = QStringLiteral("Le fichier «\u00A0%1\u00A0» contient %2%3. %4\u00A0; aucune fiche existante ne sera "
                                  "modifiée.")
                       .arg(QDir::toNativeSeparators(file), cardCount(plan.count()), direction, added);
    if (selection.skipped > 0) {
        text += selection.skipped == 1
                    ? QStringLiteral("\n\n1 entrée sans terme dans l'une des deux langues a été laissée de côté.")
                    : QStringLiteral("\n\n%1 entrées sans terme dans l'une des deux langues ont été laissées de côté.")
                          .arg(selection.skipped);
    }
    if (!selection.otherLanguages.isEmpty()) {
        text += QStringLiteral("\n\nCe que le fichier porte dans ses autres langues, %1, ne sera pas importé.")
                    .arg(languagesNamed(selection.otherLanguages));
    }
    if (plan.alreadyThere > 0) text += QStringLiteral("\n\n") + alreadyThere(plan, false);
    if (plan.altered > 0) text += QStringLiteral("\n\n") + altered(plan, false);
    for (const QString& remark : remarks) text += QStringLiteral("\n\n") + remark;
    return text + QStringLiteral("\n\nImporter ces fiches\u00A0?");
}

// The two languages to take, and which way: asked whenever the file names
// two or more that hold terms, the file's own direction proposed first where
// it says one, else the direction chosen last in this run.
std::optional<glossary::Pair> languagePair(QWidget* window, const QString& file, const glossary::Glossary& read) {
    static std::optional<glossary::Pair> chosenLast;
    if (read.languages.size() == 1) {
        Alert::error(window, QStringLiteral("Le glossaire «\u00A0%1\u00A0» n'a de termes qu'en %2\u00A0: il en faut dans "
                                            "deux langues. Rien n'a été importé.")
                                 .arg(QDir::toNativeSeparators(file), languageNamed(read.languages.front())));
        return std::nullopt;
    }
    if (read.languages.isEmpty()) return glossary::proposedPair(read);  // its columns say which is which
    const bool lastFits = chosenLast && !read.directed && read.languages.contains(chosenLast->source) &&
                          read.languages.contains(chosenLast->target);
    const glossary::Pair proposed = lastFits ? *chosenLast : glossary::proposedPair(read);
    const auto chosen = LanguagePairDialog::choose(window, read.languages, {proposed.source, proposed.target});
    if (!chosen) return std::nullopt;
    chosenLast = glossary::Pair{chosen->source, chosen->target};
    return chosenLast;
}

}  // namespace

std::optional<ImportedCards> importCards(QWidget* window, const QString& dataFile, CommonDialog& dialog,
                                        const MainWindowLink& menu) {
    dialog.setFilter(kFilter);
    if (!dialog.ShowOpen(window)) return std::nullopt;
    const QString source = dialog.FileName();

    // Each step runs under the hourglass; its failure is said once the pointer is back.
    const auto attempt = [&](const std::function<void()>& step) {
        const QString failure = busyWhile(window, [&] {
            try {
                step();
            } catch (const ExchangeError& error) {
                return error.message();
            } catch (const StoreError& error) {
                return failureMessage(error, menu);
            } catch (const std::bad_alloc&) {
                return QStringLiteral("La mémoire a manqué pour importer «\u00A0%1\u00A0»\u00A0: fermez d'autres "
                                      "programmes et recommencez. Rien n'a été importé.")
                    .arg(QDir::toNativeSeparators(source));
            }
            return QString();
        });
        if (!failure.isEmpty()) Alert::error(window, failure);
        return failure.isEmpty();
    };
    std::optional<glossary::Glossary> read;
    const bool readable = attempt([&] {
        DataFile file = DataFile::open(dataFile);
        const std::int32_t room = Module1::kHighestCardNumber - file.recordCount();
        file.close();
        try {
            read = cardimport::readFile(source, room, [&](const std::vector<cardimport::SheetChoice>& sheets) {
                return SheetDialog::choose(window, source, sheets);
            });
        } catch (const cardimport::SheetNotChosen&) {
            read.reset();  // the user chose no sheet: nothing to say
        }
    });
    if (!readable || !read) return std::nullopt;
    const std::optional<glossary::Pair> pair = languagePair(window, source, *read);
    if (!pair) return std::nullopt;

    glossary::Selection selection;
    std::optional<cardimport::Plan> plan;
    const QStringList remarks = read->remarks;
    const bool checked = attempt([&] {
        selection = glossary::cardsOf(*read, *pair);
        glossary::referToOrigin(selection.cards, *read, source, QDate::currentDate());
        read.reset();
        if (selection.cards.empty()) {
            throw ExchangeError(QStringLiteral("Aucune entrée du fichier «\u00A0%1\u00A0» n'a de terme en %2 et en %3. "
                                               "Rien n'a été importé.")
                                    .arg(QDir::toNativeSeparators(source), languageNamed(pair->source),
                                         languageNamed(pair->target)));
        }
        DataFile file = DataFile::open(dataFile);
        int alreadyThere = 0;
        std::vector<CardText> fresh =
            cardimport::withoutCardsAlreadyThere(std::move(selection.cards), file, alreadyThere);
        if (fresh.empty()) {
            throw ExchangeError(QStringLiteral("Les %1 du fichier «\u00A0%2\u00A0» sont déjà dans le fichier de données. "
                                               "Rien n'a été importé.")
                                    .arg(cardCount(alreadyThere), QDir::toNativeSeparators(source)));
        }
        plan = cardimport::plan(std::move(fresh), file.recordCount());
        plan->alreadyThere = alreadyThere;
    });
    if (!checked || !Alert::question(window, question(source, *plan, selection, *pair, remarks))) return std::nullopt;
    const bool added = attempt([&] {
        DataFile file = DataFile::open(dataFile);
        cardimport::apply(file, *plan);
        file.close();
    });
    if (!added) return std::nullopt;
    const QString imported = plan->count() == 1 ? QStringLiteral("1 fiche importée")
                                                      : QStringLiteral("%1 fiches importées").arg(plan->count());
    QString done = QStringLiteral("%1 (%2).").arg(imported, numbers(*plan));
    if (plan->alreadyThere > 0) done += QLatin1Char(' ') + alreadyThere(*plan, true);
    if (plan->altered > 0) done += QLatin1Char(' ') + altered(*plan, true);
    Alert::information(window, done);
    return ImportedCards{plan->first, plan->last()};
}
