#include "windows/controls/french_dialogs.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace frenchdialogs {
namespace {

struct Supplied {
    const char* context;
    const char* source;
    const char* disambiguation;  // nullptr where Qt gives none
    const char* french;
};

// What Qt's French catalogue leaves in English, in the dialogs the program
// shows and the printing dialogs they open.
constexpr Supplied kSupplied[] = {
    {"QGuiApplication", "QT_LAYOUT_DIRECTION",
     "Translate this string to the string 'LTR' in left-to-right languages or to 'RTL' in right-to-left languages "
     "(such as Hebrew and Arabic) to get proper widget layout.",
     "LTR"},
    {"QAbstractFileIconProvider", "Folder", "All other platforms", "Dossier"},
    {"QAbstractFileIconProvider", "File Folder", "Match Windows Explorer", "Dossier de fichiers"},
    {"QAbstractFileIconProvider", "Drive", nullptr, "Lecteur"},
    {"QAbstractFileIconProvider", "File", nullptr, "Fichier"},
    {"QAbstractFileIconProvider", "Shortcut", "All other platforms", "Raccourci"},
    {"QAbstractFileIconProvider", "Alias", "macOS Finder", "Alias"},
    {"QAbstractFileIconProvider", "Unknown", nullptr, "Inconnu"},
    {"QPrintDialog", "Invalid Pages Definition", nullptr, "Pages mal définies"},
    {"QPrintDialog",
     "%1 does not follow the correct syntax. Please use ',' to separate ranges and pages, '-' to define ranges and "
     "make sure ranges do not intersect with each other.",
     nullptr,
     "« %1 » n'est pas écrit comme il faut. Séparez les pages et les suites de pages par « , », marquez une suite "
     "par « - », et veillez à ce que les suites ne se chevauchent pas."},
    {"QPrintDialog", "Duplex Settings Conflicts", nullptr, "Réglages recto verso incompatibles"},
    {"QPrintDialog", "There are conflicts in duplex settings. Do you want to fix them?", nullptr,
     "Des réglages recto verso sont incompatibles. Voulez-vous les corriger ?"},
    {"QPrintPropertiesDialog", "Printer Properties", nullptr, "Propriétés de l'imprimante"},
    {"QPrintPropertiesDialog", "Page Setup Conflicts", nullptr, "Mise en page incompatible"},
    {"QPrintPropertiesDialog", "There are conflicts in page setup options. Do you want to fix them?", nullptr,
     "Des options de mise en page sont incompatibles. Voulez-vous les corriger ?"},
    {"QPrintPropertiesDialog", "Advanced Option Conflicts", nullptr, "Options avancées incompatibles"},
    {"QPrintPropertiesDialog", "There are conflicts in some advanced options. Do you want to fix them?", nullptr,
     "Des options avancées sont incompatibles. Voulez-vous les corriger ?"},
    {"QPrintPropertiesWidget", "Advanced", nullptr, "Avancé"},
    {"QPrintPropertiesWidget", "There are conflicts in some options. Please fix them.", nullptr,
     "Des options sont incompatibles. Veuillez les corriger."},
    {"QPrintSettingsOutput", "Double Sided Printing", nullptr, "Impression recto verso"},
    {"QPrintSettingsOutput", "Off", nullptr, "Recto seul"},
    {"QPrintSettingsOutput", "Long side binding", nullptr, "Reliure côté long"},
    {"QPrintSettingsOutput", "Short side binding", nullptr, "Reliure côté court"},
    {"QPrintSettingsOutput", "Pages", nullptr, "Pages"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: "
     "3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     nullptr,
     "Indiquez des pages ou des suites de pages séparées par des virgules ; une suite s'écrit avec deux nombres "
     "séparés par un trait d'union. Par exemple, 3,5-7,9 imprime les pages 3, 5, 6, 7 et 9."},
    {"QCupsPrinterSupport", "Authentication Needed", nullptr, "Identification demandée"},
    {"QCupsPrinterSupport", "Authentication needed to use %1.", nullptr, "Identifiez-vous pour utiliser %1."},
    {"QCupsPrinterSupport", "Authentication needed to use %1 on %2.", nullptr,
     "Identifiez-vous pour utiliser %1 sur %2."},
    {"QCupsPrinterSupport", "Username:", nullptr, "Nom d'utilisateur :"},
    {"QCupsPrinterSupport", "Password:", nullptr, "Mot de passe :"},
    {"QWidgetTextControl", "Insert Unicode control character", nullptr, "Insérer un caractère de contrôle Unicode"},
    {"QShortcut", "Control", nullptr, "Contrôle"},
};

// Answers only what Qt's catalogue, asked first, could not.
class Supplement : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation, int) const override {
        if (!context || !source) return {};
        for (const Supplied& text : kSupplied) {
            const bool sameDisambiguation = !text.disambiguation ? !disambiguation || !*disambiguation
                                                                 : disambiguation && std::strcmp(disambiguation, text.disambiguation) == 0;
            if (std::strcmp(context, text.context) == 0 && std::strcmp(source, text.source) == 0 && sameDisambiguation) {
                return QString::fromUtf8(text.french);
            }
        }
        return {};
    }
};

}  // namespace

void install() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    // Asked last: the translator installed first.
    QCoreApplication::installTranslator(new Supplement(qApp));
    // A program built with Qt inside it has no translations folder: it
    // carries the French in its resources.
    auto* qtFrench = new QTranslator(qApp);
    if (qtFrench->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        qtFrench->load(QStringLiteral(":/translations/qtbase_fr.qm"))) {
        QCoreApplication::installTranslator(qtFrench);
    }
}

}  // namespace frenchdialogs
