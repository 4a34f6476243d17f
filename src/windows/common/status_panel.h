#pragma once

#include <QWidget>

// A panel of a status bar: one line of text, cut with an ellipsis when the
// bar is narrower than the text, so that the panel never holds its window
// wider than the user makes it. It asks for its designed width (none for a
// panel that takes the room the others leave) and takes whatever it is given.
class StatusPanel : public QWidget {
    Q_OBJECT
public:
    StatusPanel(const QString& text, Qt::Alignment alignment, int designedWidthPixels, QWidget* parent);

    const QString& text() const { return m_text; }
    // The text as the panel shows it at its present width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    Qt::Alignment m_alignment;
    int m_designedWidth;
};
