#include <QApplication>

#include "windows/common/look.h"
#include "windows/common/screen_placement.h"
#include "windows/controls/alert.h"
#include "windows/controls/french_dialogs.h"
#include "windows/main/default_data_file.h"
#include "windows/main/menu.h"
#include "windows/startup/frm_splash.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexicarium"));

    frenchdialogs::install();
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
