#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// The controls the Edition and Card windows have in common, found by name.
struct CardFormControls {
    QWidget* form = nullptr;

    template <typename T = QWidget>
    T* child(const char* name) const { return form->findChild<T*>(QLatin1String(name)); }
    QString numero() const { return child<QLineEdit>("txtnumero")->text(); }
    QString box(const char* name) const { return child<QPlainTextEdit>(name)->toPlainText(); }
    void type(const char* name, const QString& text) const { child<QPlainTextEdit>(name)->setPlainText(text); }
    bool canGoBack() const { return child<QPushButton>("precedent")->isEnabled(); }
    bool canGoOn() const { return child<QPushButton>("suivant")->isEnabled(); }
    void click(const char* button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
};
