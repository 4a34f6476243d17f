#include "windows/startup/frm_splash.h"

#include <QKeyEvent>
#include <QTimer>

#include "windows/common/clickable.h"
#include "windows/common/look.h"
#include "windows/common/pictures.h"
#include "windows/common/twips.h"

namespace {

template <typename Label>
Label* addLabel(QWidget* frame, const char* name, const QString& text, double points, QRect twipsRect,
                const QColor& colour, const QColor& background, Qt::Alignment alignment, bool italic = false) {
    auto* label = new Label(text, frame);
    label->setObjectName(QLatin1String(name));
    label->setFont(look::timesNewRoman(points, true, italic));
    look::setColours(label, colour, background);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setIndent(0);  // a framed label would otherwise indent its text from the aligned edge
    twips::place(label, twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height());
    return label;
}

}  // namespace

frmSplash::frmSplash(std::function<void()> showMainWindow)
    : QWidget(nullptr, Qt::Dialog | Qt::FramelessWindowHint), m_showMainWindow(std::move(showMainWindow)) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    look::setColours(this, Qt::black, look::kLightYellow);
    setFixedSize(twips::toPixels(7275), twips::toPixels(4110));
    setFocusPolicy(Qt::StrongFocus);
    // Frameless, it has no title to be read by.
    setAccessibleName(QStringLiteral("Lexicarium terminologique"));

    auto* frame = new ClickableFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    look::setColours(frame, Qt::black, look::kLightYellow);
    twips::place(frame, 120, 0, 7080, 4050);
    connect(frame, &ClickableFrame::clicked, this, &frmSplash::Frame1_Click);

    // The logo lies under every label: the date and the edges of the framed
    // title overlap it, and must be read, and clicked, where they are drawn.
    auto* logo = new ClickableLabel(frame);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setProperty("index", 1);
    twips::place(logo, 0, 840, 2295, 2655);
    pictures::show(logo, pictures::Picture::logo);
    connect(logo, &ClickableLabel::clicked, this, [this] { imgLogo_Click(1); });

    const auto centre = Qt::AlignHCenter;
    const QString family = QStringLiteral("SCRIPTORIA DIGITALE");
    const QString product = QStringLiteral("Lexicarium terminologique");
    // Drawn first, so that the bordered label on the same rectangle lies above it.
    addLabel<PassiveLabel>(frame, "Label1", family, 21.75, {120, 240, 6255, 615}, Qt::white, look::kLavender, centre);
    auto* label5 = addLabel<ClickableLabel>(frame, "Label5", family, 21.75, {120, 240, 6255, 615}, Qt::black, {}, centre);
    label5->setFrameShape(QFrame::Box);
    connect(label5, &ClickableLabel::clicked, this, &frmSplash::Label5_Click);

    addLabel<PassiveLabel>(frame, "Label6", product, 27.75, {2160, 960, 4095, 1455}, Qt::white, look::kLavender, centre)
        ->setWordWrap(true);
    auto* label8 = addLabel<ClickableLabel>(frame, "Label8", product, 27.75, {2160, 960, 4095, 1455}, Qt::black, {}, centre);
    label8->setFrameShape(QFrame::Box);
    label8->setWordWrap(true);
    connect(label8, &ClickableLabel::clicked, this, &frmSplash::Label8_Click);

    addLabel<PassiveLabel>(frame, "Label7", QString(), 18, {3360, 2640, 1935, 375}, Qt::white, look::kLavender, centre);
    auto* label2 = addLabel<ClickableLabel>(frame, "Label2", QStringLiteral("Version 1.0"), 18, {3360, 2640, 1935, 375},
                                            Qt::white, {}, centre);
    connect(label2, &ClickableLabel::clicked, this, &frmSplash::Label2_Click);

    auto* label3 = addLabel<ClickableLabel>(frame, "Label3", QStringLiteral("Windows 95, 98, NT et 2000"), 12,
                                            {1800, 3240, 3735, 375}, look::kRed, {}, Qt::AlignRight, true);
    connect(label3, &ClickableLabel::clicked, this, &frmSplash::Label3_Click);
    addLabel<PassiveLabel>(frame, "Label9", QStringLiteral("Février 2002"), 12, {720, 3240, 1695, 375}, look::kDarkBlue,
                           {}, Qt::AlignRight, true);

    auto* label4 = addLabel<ClickableLabel>(
        frame, "Label4", QStringLiteral("Faculté des lettres et des langues - Université de Val-Lumière"), 9.75,
        {120, 3600, 6855, 255}, Qt::white, look::kBlue, centre);
    connect(label4, &ClickableLabel::clicked, this, &frmSplash::Label4_Click);

    auto* image1 = new ClickableLabel(frame);
    image1->setObjectName(QStringLiteral("Image1"));
    twips::place(image1, 6240, 2160, 780, 1380);
    pictures::show(image1, pictures::Picture::shelf);
    connect(image1, &ClickableLabel::clicked, this, &frmSplash::Image1_Click);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kDelayMs);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    m_timer->start();
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    if (event->text().isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    Form_KeyPress(event->text().at(0).unicode());
}

void frmSplash::closeSplash() {
    if (m_closed) return;
    m_closed = true;
    m_timer->stop();
    close();
    m_showMainWindow();
}
