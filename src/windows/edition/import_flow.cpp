#include "windows/edition/import_flow.h"

#include <QDir>
#include <functional>
#include <optional>

#include "exchange/card_import.h"
#include "exchange/exchange_error.h"
#include "store/data_file.h"
#include "store/store_error.h"
#include "windows/common/data_file_failure.h"
#include "windows/controls/alert.h"
#include "windows/controls/busy_cursor.h"
#include "windows/controls/common_dialog.h"

namespace {

const QString kFilter = QStringLiteral("Glossaires TBX et tableaux CSV (*.tbx *.csv)|*.tbx;*.csv|"
                                       "Glossaire TBX (*.tbx)|*.tbx|Tableau CSV (*.csv)|*.csv");

QString cardCount(qsizetype count) {
    return count == 1 ? QStringLiteral("1 fiche") : QStringLiteral("%1 fiches").arg(count);
}

QString numbers(const cardimport::Plan& plan) {
    return plan.cards.size() == 1 ? QStringLiteral("n° %1").arg(plan.first)
                                  : QStringLiteral("n° %1 à %2").arg(plan.first).arg(plan.last());
}

QString question(const QString& file, const cardimport::Plan& plan) {
    const QString added = plan.cards.size() == 1
                              ? QStringLiteral("Elle sera ajoutée après la dernière fiche, sous le numéro %1")
                                    .arg(plan.first)
                              : QStringLiteral("Elles seront ajoutées après la dernière fiche, sous les numéros %1 à %2")
                                    .arg(plan.first)
                                    .arg(plan.last());
    QString text = QStringLiteral("Le fichier «\u00A0%1\u00A0» contient %2. %3\u00A0; aucune fiche existante ne sera "
                                  "modifiée.")
                       .arg(QDir::toNativeSeparators(file), cardCount(plan.cards.size()), added);
    if (plan.altered > 0) {
        text += QStringLiteral("\n\n%1 %2 des champs trop longs, qui seront coupés à leur largeur, ou des caractères "
                               "que le fichier de données ne peut pas garder, qui deviendront «\u00A0?\u00A0».")
                    .arg(cardCount(plan.altered), plan.altered == 1 ? QStringLiteral("a") : QStringLiteral("ont"));
    }
    return text + QStringLiteral("\n\nImporter ces fiches\u00A0?");
}

}  // namespace

bool importCards(QWidget* window, const QString& dataFile, CommonDialog& dialog, const MainWindowLink& menu) {
    dialog.setFilter(kFilter);
    if (!dialog.ShowOpen(window)) return false;
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
            }
            return QString();
        });
        if (!failure.isEmpty()) Alert::error(window, failure);
        return failure.isEmpty();
    };
    std::optional<cardimport::Plan> plan;
    const bool checked = attempt([&] {
        const std::vector<CardText> cards = cardimport::readFile(source);
        DataFile file = DataFile::open(dataFile);
        plan = cardimport::plan(cards, file.recordCount());
    });
    if (!checked || !Alert::question(window, question(source, *plan))) return false;
    const bool added = attempt([&] {
        DataFile file = DataFile::open(dataFile);
        cardimport::apply(file, *plan);
        file.close();
    });
    if (!added) return false;
    const QString imported = plan->cards.size() == 1 ? QStringLiteral("1 fiche importée")
                                                      : QStringLiteral("%1 fiches importées").arg(plan->cards.size());
    Alert::information(window, QStringLiteral("%1 (%2).").arg(imported, numbers(*plan)));
    return true;
}
