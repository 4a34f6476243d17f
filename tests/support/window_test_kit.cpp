#include "support/window_test_kit.h"

#include <QApplication>
#include <QWidget>

#include "forms/file_languages.h"
#include "forms/vocabulary_cache.h"
#include "store/file_places.h"
#include "store/store_notice.h"
#include "windows/common/screen_placement.h"
#include "windows/controls/modal_run.h"

namespace {

QStringList windowsShowingTheHourglass() {
    QStringList names;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->cursor().shape() == Qt::WaitCursor) {
            names.append(widget->objectName());
        }
    }
    return names;
}

}  // namespace

WindowTestKit::WindowTestKit() {
    Alert::setInterceptor([this](const Alert::Shown& shown) {
        messages.append(shown);
        busyWindows.append(windowsShowingTheHourglass());
        return !questionAnswers.isEmpty() && questionAnswers.takeFirst();
    });
    CommonDialog::setAnswerer([this](const CommonDialog::Request& request) {
        dialogs.append(request);
        return answers.isEmpty() ? std::optional<CommonDialog::Choice>() : answers.takeFirst();
    });
    ModalRun::setHandler([this](QWidget* window) {
        if (onModal) onModal(window);
    });
    Alert::showStoreNotices();
    screenplacement::install();
}

WindowTestKit::~WindowTestKit() {
    Alert::setInterceptor({});
    CommonDialog::setAnswerer({});
    ModalRun::setHandler({});
    storenotice::setListener({});
}

QStringList WindowTestKit::messageTexts() const {
    QStringList texts;
    for (const Alert::Shown& shown : messages) texts.append(shown.text);
    return texts;
}

QStringList WindowTestKit::errors() const {
    QStringList texts;
    for (const Alert::Shown& shown : messages) {
        if (shown.kind == Alert::Kind::error) texts.append(shown.text);
    }
    return texts;
}

QWidget* shownWindow(const char* name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible()) return widget;
    }
    return nullptr;
}

bool WindowTestKit::waitForTheFileWords() const {
    FileLanguagesSettings settings(fileplaces::settingsFile());
    QString failure;
    return VocabularyCache::shared().wait(path(), filelanguages::of(path(), settings), [] { return true; }, failure) !=
           nullptr;
}
