#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "windows/common/look.h"
#include "windows/common/screen_placement.h"
#include "windows/controls/alert.h"
#include "windows/main/default_data_file.h"
#include "windows/main/menu.h"
#include "windows/startup/frm_splash.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexicarium"));

    // The standard dialogs speak French, like the rest of the program. A
    // program built with Qt inside it has no translations folder: it carries
    // the French in its resources.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        qtFrench.load(QStringLiteral(":/translations/qtbase_fr.qm"))) {
        QApplication::installTranslator(&qtFrench);
    }
    look::installFontSubstitutes();
    screenplacement::install();
    Alert::showStoreNotices();

    Menu* menu = nullptr;
    auto* splash = new frmSplash([&menu] {
        menu = new Menu(defaultDataFilePath());
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->show();
    });
    splash->show();
    splash->activateWindow();
    splash->setFocus();
    return QApplication::exec();
}
