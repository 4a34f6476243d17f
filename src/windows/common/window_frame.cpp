#include "windows/common/window_frame.h"

#include <QDate>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>

#include "windows/common/status_panel.h"
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
    // The caption takes what the date leaves; the date keeps its designed
    // width until the bar is narrower than that.
    auto* text = new StatusPanel(caption, Qt::AlignLeft, 0, bar);
    text->setObjectName(QStringLiteral("Panel1"));
    bar->addWidget(text, 1);
    if (dateWidthTwips > 0) {
        const QString today = QLocale(QLocale::French, QLocale::France).toString(QDate::currentDate(), QLocale::ShortFormat);
        auto* date = new StatusPanel(today, Qt::AlignHCenter, twips::toPixels(dateWidthTwips), bar);
        date->setObjectName(QStringLiteral("Panel2"));
        bar->addPermanentWidget(date);
    }
    window->setStatusBar(bar);
    return bar;
}

}  // namespace windowframe
