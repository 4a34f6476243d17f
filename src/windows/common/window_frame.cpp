#include "windows/common/window_frame.h"

#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

#include "windows/common/twips.h"

namespace windowframe {

void setClientSize(QMainWindow* window, int widthTwips, int heightTwips) {
    const int menu = window->menuWidget() ? window->menuWidget()->sizeHint().height() : 0;
    window->resize(twips::toPixels(widthTwips), twips::toPixels(heightTwips) + menu);
}

QStatusBar* addStatusBar(QMainWindow* window, const QString& caption, int heightTwips, int dateWidthTwips) {
    auto* bar = new QStatusBar(window);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFixedHeight(twips::toPixels(heightTwips));
    auto* text = new QLabel(caption, bar);
    text->setObjectName(QStringLiteral("Panel1"));
    bar->addWidget(text, 1);
    if (dateWidthTwips > 0) {
        auto* date = new QLabel(QLocale(QLocale::French, QLocale::France).toString(QDate::currentDate(), QLocale::ShortFormat), bar);
        date->setObjectName(QStringLiteral("Panel2"));
        date->setFixedWidth(twips::toPixels(dateWidthTwips));
        date->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(date);
    }
    window->setStatusBar(bar);
    return bar;
}

}  // namespace windowframe
