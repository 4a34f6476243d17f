#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>

#include "check/command_console.h"
#include "check/verification_command.h"

#include "windows/common/look.h"
#include "windows/common/screen_placement.h"
#include "windows/controls/alert.h"
#include "windows/controls/french_dialogs.h"
#include "windows/lookup/instance_link.h"
#include "windows/lookup/quick_lookup_service.h"
#include "store/default_data_file.h"
#include "windows/main/menu.h"
#include "windows/startup/frm_splash.h"

namespace {

// A check of a translation asked for on the command line runs without a
// display, and without handing itself to a running copy of the program.
bool checkAsked(int argc, char* argv[]) {
    for (int at = 1; at < argc; ++at) {
        if (std::strcmp(argv[at], "--verifier") == 0) return true;
    }
    return false;
}

int checkFromCommandLine(int argc, char* argv[]) {
    commandconsole::attach();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Lexicarium"));
    QTextStream out(stdout);
    QTextStream errors(stderr);
    return verificationcommand::run(QCoreApplication::arguments(), out, errors);
}

}  // namespace

int main(int argc, char* argv[]) {
    // Regular expressions interpreted, never compiled to machine code: the
    // compiled ones keep a stack per thread, whose release as a thread ends
    // crashes a static Windows build (MinGW frees the thread's storage
    // first). Lexicarium's few patterns need no more speed.
    qputenv("QT_ENABLE_REGEXP_JIT", "0");
    if (checkAsked(argc, argv)) return checkFromCommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexicarium"));

    // A second start hands its request to the program running already, and
    // never runs as a second program once it has reached one.
    InstanceLink instance;
    InstanceLink::HandOver handedOver = instance.handOver(QApplication::arguments());
    if (handedOver == InstanceLink::HandOver::noneRunning && !instance.listen()) {
        handedOver = instance.handOver(QApplication::arguments());
    }
    if (handedOver == InstanceLink::HandOver::taken) return 0;

    frenchdialogs::install();
    look::installFontSubstitutes();
    screenplacement::install();
    if (handedOver == InstanceLink::HandOver::unanswered) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(InstanceLink::unansweredMessage()));
        Alert::error(nullptr, InstanceLink::unansweredMessage());
        return 1;
    }
    Alert::showStoreNotices();

    // What this start and later ones ask waits for the end of the splash.
    StartRequest waiting = StartRequest::from(QApplication::arguments());
    QuickLookupService* lookup = nullptr;
    QObject::connect(&instance, &InstanceLink::requested, [&waiting, &lookup](const QStringList& arguments) {
        if (lookup) {
            lookup->handle(StartRequest::from(arguments));
        } else {
            waiting = StartRequest::from(arguments);
        }
    });
    auto* splash = new frmSplash([&waiting, &lookup] {
        auto* menu = new Menu(defaultDataFilePath());
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->show();
        // The shortcut is held from now until the program ends.
        lookup = new QuickLookupService(*menu, DesktopLink::create(), LookupSettings(), menu);
        QObject::connect(lookup, &QObject::destroyed, [&lookup] { lookup = nullptr; });
        menu->setQuickLookup(lookup);
        lookup->start();
        if (waiting.kind != StartRequest::Kind::show) lookup->handle(waiting);
    });
    splash->show();
    splash->activateWindow();
    splash->setFocus();
    return QApplication::exec();
}
