#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "consultation_driver.h"
#include "windows/card/frm_fiche.h"

// A Card window opened on a row of a Consultation window's grid.
struct CardWindow {
    std::unique_ptr<frm_fiche> window;

    CardWindow(Consultation& consultation, int row) {
        consultation.grid().setRow(row);
        consultation.grid().setCol(1);
        window = std::make_unique<frm_fiche>(consultation.menu, consultation.grid());
    }

    template <typename T = QWidget>
    T* child(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    QString numero() const { return child<QLineEdit>("txtnumero")->text(); }
    QString box(const char* name) const { return child<QPlainTextEdit>(name)->toPlainText(); }
    void type(const char* name, const QString& text) const { child<QPlainTextEdit>(name)->setPlainText(text); }
    bool canGoBack() const { return child<QPushButton>("precedent")->isEnabled(); }
    bool canGoOn() const { return child<QPushButton>("suivant")->isEnabled(); }
    void click(const char* button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
};
