#include "windows/controls/alert.h"

#include <QApplication>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

#include "store/store_notice.h"

namespace {

Alert::Interceptor& interceptor() {
    static Alert::Interceptor current;
    return current;
}

bool show(QWidget* parent, Alert::Kind kind, const QString& text, const QString& yes = QStringLiteral("&Oui"),
          const QString& no = QStringLiteral("&Non")) {
    if (interceptor()) return interceptor()({kind, Alert::title(), text});
    const bool question = kind == Alert::Kind::question;
    QMessageBox box(kind == Alert::Kind::error ? QMessageBox::Warning
                    : question                 ? QMessageBox::Question
                                               : QMessageBox::NoIcon,
                    Alert::title(), text, question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    if (question) {
        // The standard buttons' French comes with Qt's translations; these
        // words stay French without them too.
        box.button(QMessageBox::Yes)->setText(yes);
        box.button(QMessageBox::No)->setText(no);
        box.setDefaultButton(QMessageBox::No);
    }
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

void Alert::information(QWidget* parent, const QString& text) { show(parent, Kind::information, text); }

void Alert::error(QWidget* parent, const QString& text) { show(parent, Kind::error, text); }

bool Alert::question(QWidget* parent, const QString& text) { return show(parent, Kind::question, text); }

bool Alert::question(QWidget* parent, const QString& text, const QString& yes, const QString& no) {
    return show(parent, Kind::question, text, yes, no);
}

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
