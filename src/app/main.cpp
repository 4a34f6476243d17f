#include <QApplication>

#include "windows/common/look.h"
#include "windows/common/screen_placement.h"
#include "windows/controls/alert.h"
#include "windows/controls/french_dialogs.h"
#include "windows/lookup/instance_link.h"
#include "windows/lookup/quick_lookup_service.h"
#include "windows/main/default_data_file.h"
#include "windows/main/menu.h"
#include "windows/startup/frm_splash.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexicarium"));

    // A second start hands its request to the program running already.
    InstanceLink instance;
    if (instance.handOver(QApplication::arguments())) return 0;
    if (!instance.listen() && instance.handOver(QApplication::arguments())) return 0;

    frenchdialogs::install();
    look::installFontSubstitutes();
    screenplacement::install();
    Alert::showStoreNotices();

    auto* splash = new frmSplash([&instance] {
        auto* menu = new Menu(defaultDataFilePath());
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->show();
        // The shortcut is held from now until the program ends.
        auto* lookup = new QuickLookupService(*menu, DesktopLink::create(), LookupSettings(), menu);
        menu->setQuickLookup(lookup);
        lookup->start();
        QObject::connect(&instance, &InstanceLink::requested, lookup,
                         [lookup](const QStringList& arguments) { lookup->handle(StartRequest::from(arguments)); });
        const StartRequest request = StartRequest::from(QApplication::arguments());
        if (request.kind != StartRequest::Kind::show) lookup->handle(request);
    });
    splash->show();
    splash->activateWindow();
    splash->setFocus();
    return QApplication::exec();
}
