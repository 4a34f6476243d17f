#pragma once

#include <QLabel>

// A panel of a status bar: one line of text, cut with an ellipsis when the
// bar is narrower than the text, so that the panel never holds its window
// wider than the user makes it. It asks for its designed width (none for a
// panel that takes the room the others leave) and takes whatever it is given.
// Being a label, it is read by assistive tools as the text it holds.
class StatusPanel : public QLabel {
    Q_OBJECT
public:
    StatusPanel(const QString& text, Qt::Alignment alignment, int designedWidthPixels, QWidget* parent);

    // The text as the panel shows it at its present width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Alignment m_alignment;
    int m_designedWidth;
};
