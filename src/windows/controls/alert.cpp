#include "windows/controls/alert.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "store/store_notice.h"

namespace {

Alert::Interceptor& interceptor() {
    static Alert::Interceptor current;
    return current;
}

void show(QWidget* parent, Alert::Kind kind, const QString& text) {
    if (interceptor()) {
        interceptor()({kind, Alert::title(), text});
        return;
    }
    QMessageBox box(kind == Alert::Kind::error ? QMessageBox::Warning : QMessageBox::NoIcon, Alert::title(),
                    text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

void Alert::information(QWidget* parent, const QString& text) { show(parent, Kind::information, text); }

void Alert::error(QWidget* parent, const QString& text) { show(parent, Kind::error, text); }

void Alert::setInterceptor(Interceptor replacement) { interceptor() = std::move(replacement); }

const QString& Alert::title() {
    static const QString lexicarium = QStringLiteral("Lexicarium");
    return lexicarium;
}

void Alert::showStoreNotices() {
    storenotice::setListener([](const QString& message) {
        QTimer::singleShot(0, qApp, [message] { error(QApplication::activeWindow(), message); });
    });
}
