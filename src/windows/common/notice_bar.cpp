#include "windows/common/notice_bar.h"

#include <QMainWindow>
#include <QStatusBar>
#include <algorithm>

#include "windows/common/look.h"
#include "windows/common/status_panel.h"

NoticeBar& NoticeBar::of(QMainWindow* window) {
    if (auto* bar = window->findChild<NoticeBar*>(QString(), Qt::FindDirectChildrenOnly)) return *bar;
    return *new NoticeBar(window);
}

NoticeBar::NoticeBar(QMainWindow* window) : QObject(window), m_window(window) {}

void NoticeBar::set(const QString& name, const QString& text, const QColor& colour, const QString& inFull) {
    const QString tip = inFull.isEmpty() ? text : inFull;
    QStatusBar* bar = m_window->statusBar();
    std::erase_if(m_panels, [](const QPointer<StatusPanel>& panel) { return panel.isNull(); });
    const auto standing = std::find_if(m_panels.begin(), m_panels.end(),
                                       [&name](const QPointer<StatusPanel>& panel) { return panel->objectName() == name; });
    if (text.isEmpty()) {
        if (standing != m_panels.end()) {
            delete *standing;
            m_panels.erase(standing);
        }
    } else if (standing != m_panels.end()) {
        (*standing)->setText(text);
        (*standing)->setToolTip(tip);
        if (colour.isValid()) look::setColours(*standing, colour);
    } else {
        auto* panel = new StatusPanel(text, Qt::AlignLeft, 0, bar);
        panel->setObjectName(name);
        panel->setToolTip(tip);
        if (colour.isValid()) look::setColours(panel, colour);
        bar->insertWidget(int(m_panels.size()), panel, 1);
        panel->show();
        m_panels.emplace_back(panel);
    }
    if (QWidget* caption = bar->findChild<QWidget*>(QStringLiteral("Panel1"))) caption->setVisible(m_panels.empty());
}
