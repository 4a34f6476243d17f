#include "windows/common/data_file_failure.h"

#include "store/store_error.h"
#include "windows/common/main_window_link.h"

QString failureMessage(const StoreError& error, const MainWindowLink& menu) {
    if (error.kind() != StoreError::Kind::cannotCreate || !menu.usesDefaultDataFile()) return error.message();
    return error.message() + QStringLiteral(" Décochez «\u00A0Lexicarium par défaut\u00A0» dans la fenêtre principale, "
                                            "puis choisissez un autre fichier de données.");
}
