#include "check/verification_command.h"

#include <QDir>
#include <QTextStream>
#include <new>
#include <optional>

#include "check/accepted_gaps.h"
#include "check/gap_report.h"
#include "check/verification.h"
#include "exchange/exchange_error.h"
#include "store/default_data_file.h"
#include "store/file_places.h"
#include "store/store_error.h"

namespace verificationcommand {
namespace {

const QString kVerify = QStringLiteral("--verifier");
const QString kDataFile = QStringLiteral("--fichier");
const QString kReport = QStringLiteral("--rapport");

const QString kUsage = QStringLiteral(
    "Usage\u00A0: lexicarium --verifier <fichier à vérifier> [--fichier <fichier de données>] "
    "[--rapport <rapport.csv|.xlsx|.ods>]");

struct Request {
    QString checked;
    QString dataFile;
    QString report;
};

// The request, or none with the reason in `failure`.
std::optional<Request> requestOf(const QStringList& arguments, QString& failure) {
    Request request;
    for (qsizetype at = 1; at < arguments.size(); ++at) {
        const QString& option = arguments[at];
        QString* value = option == kVerify ? &request.checked
                         : option == kDataFile ? &request.dataFile
                         : option == kReport ? &request.report
                                             : nullptr;
        if (!value) {
            failure = QStringLiteral("Option inconnue\u00A0: «\u00A0%1\u00A0».").arg(option);
            return std::nullopt;
        }
        if (at + 1 >= arguments.size() || arguments[at + 1].isEmpty()) {
            failure = QStringLiteral("L'option %1 demande un nom de fichier.").arg(option);
            return std::nullopt;
        }
        if (!value->isEmpty()) {
            failure = QStringLiteral("L'option %1 est donnée deux fois.").arg(option);
            return std::nullopt;
        }
        *value = arguments[++at];
    }
    if (request.checked.isEmpty()) {
        failure = QStringLiteral("L'option %1 demande un nom de fichier.").arg(kVerify);
        return std::nullopt;
    }
    if (!request.report.isEmpty() && !gapreport::formatOf(request.report)) {
        failure = QStringLiteral("Le rapport «\u00A0%1\u00A0» doit être un fichier .csv, .xlsx ou .ods.")
                      .arg(QDir::toNativeSeparators(request.report));
        return std::nullopt;
    }
    return request;
}

}  // namespace

int run(const QStringList& arguments, QTextStream& out, QTextStream& errors) {
    QString failure;
    const auto request = requestOf(arguments, failure);
    if (!request) {
        errors << failure << '\n' << kUsage << Qt::endl;
        return kFailure;
    }
    const QString dataFile = request->dataFile.isEmpty() ? defaultDataFilePath() : request->dataFile;
    try {
        FileLanguagesSettings settings(fileplaces::settingsFile());
        const FileLanguages languages = filelanguages::of(dataFile, settings);
        const AcceptedGaps accepted = AcceptedGaps::of(request->checked);
        verification::Checker checker;
        const auto result = checker.check(request->checked, dataFile, languages, &accepted, nullptr, {});
        if (!request->report.isEmpty()) gapreport::write(request->report, result->file, result->report.gaps);
        for (const termcheck::Gap& gap : result->report.gaps) out << gapreport::lineOf(result->file, gap) << '\n';
        out.flush();
        return result->report.gaps.empty() ? kNoGap : kGaps;
    } catch (const ExchangeError& error) {
        failure = error.message();
    } catch (const StoreError& error) {
        failure = error.message();
    } catch (const std::bad_alloc&) {
        failure = QStringLiteral("La mémoire a manqué pour vérifier «\u00A0%1\u00A0».")
                      .arg(QDir::toNativeSeparators(request->checked));
    }
    errors << failure << Qt::endl;
    return kFailure;
}

}  // namespace verificationcommand
