#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/window_test_kit.h"
#include "windows/consultation/frm_consultation.h"
#include "windows/controls/flex_grid.h"

// A Consultation window on a data file, worked through its controls.
struct Consultation {
    FakeMainWindow menu;
    Frm_consultation* window;

    explicit Consultation(const QString& path) : window(new Frm_consultation(menu)) {
        menu.path = path;
        window->Form_Load();
    }
    ~Consultation() { delete window; }

    template <typename T = QWidget>
    T* child(const char* name) const { return window->findChild<T*>(QLatin1String(name)); }
    FlexGrid& grid() const { return *window->Grille01(); }

    void search(const QString& text, bool target = false) const {
        child<QRadioButton>(target ? "Option2" : "Option1")->setChecked(true);
        child<QLineEdit>("Text1")->setText(text);
        QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    }
    void click(const char* button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    QStringList column(int col) const {
        QStringList texts;
        for (int r = 1; r < grid().Rows(); ++r) texts.append(grid().TextMatrix(r, col));
        return texts;
    }
};
