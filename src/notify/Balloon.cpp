#include "notify/Balloon.h"

#include "notify/BalloonIcons.h"
#include "notify/BalloonRegion.h"
#include "notify/BalloonText.h"
#include "notify/TrayBalloon.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace tern {
namespace {

TBalloon* g_balloon = nullptr;

const QColor kBackground(252, 252, 252);
const QColor kTitleColour(56, 51, 170);
const QColor kTimeLeftColour(96, 96, 96);
constexpr int kTitlePointSize = 11;
// The title stays this much larger than the message.
constexpr int kTitleAboveText = 2;
constexpr int kCountdownTickMs = 250;
constexpr const char* kTahomaFile = "/usr/share/wine/fonts/tahoma.ttf";
constexpr int kTrayIconPollMs = 50;

// "Tahoma" at the size of the dialogs' font (9 pt where that has no size in points), so that a
// balloon reads like the dialogs. The face ships with Wine's fonts in a folder that fontconfig does not
// search, so it is registered with the application once; without it the application's default face
// is used.
QFont BalloonWindowFont()
{
    static const QString family = [] {
        if (QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive))
            return QStringLiteral("Tahoma");
        if (QFile::exists(QString::fromLatin1(kTahomaFile))) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kTahomaFile));
            const QStringList added = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
            if (!added.isEmpty())
                return added.front();
        }
        return QString();
    }();
    QFont font = QApplication::font();
    if (!family.isEmpty())
        font.setFamilies({family});
    const QFont dialogs = QApplication::font("QDialog");
    if (dialogs.pointSizeF() > 0)
        font.setPointSizeF(dialogs.pointSizeF());
    else if (dialogs.pixelSize() > 0)
        font.setPixelSize(dialogs.pixelSize());
    else
        font.setPointSize(9);
    return font;
}

// Texts arrive with CR LF line breaks; the label breaks lines at LF.
QString WithLineFeeds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

template <typename Label = QLabel> Label* MakeLabel(QWidget* parent)
{
    auto* label = new Label(parent);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(0, 0, 0, 0);
    label->setIndent(0);
    // Clicks on the parts reach the balloon, which closes on them.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

TBalloon::TBalloon()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      m_icon(MakeLabel(this)), m_title(MakeLabel(this)), m_text(MakeLabel<BalloonText>(this)),
      m_timeLeft(MakeLabel(this)), m_button1(new QPushButton(this)), m_button2(new QPushButton(this)),
      m_hideTimer(new QTimer(this)), m_trayWait(new QTimer(this)), m_countdown(new QTimer(this))
{
    setObjectName(QStringLiteral("Balloon"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFont(BalloonWindowFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    setPalette(colours);
    setAutoFillBackground(true);

    QFont titleFont = font();
    if (titleFont.pointSize() > 0)
        titleFont.setPointSize(std::max(kTitlePointSize, titleFont.pointSize() + kTitleAboveText));
    titleFont.setBold(false);
    titleFont.setItalic(false);
    m_title->setFont(titleFont);
    QPalette titleColours = m_title->palette();
    titleColours.setColor(QPalette::WindowText, kTitleColour);
    m_title->setPalette(titleColours);

    for (QPushButton* button : {m_button1, m_button2}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        button->hide();
    }
    connect(m_button1, &QPushButton::clicked, this, [this] { runHandler(1); });
    connect(m_button2, &QPushButton::clicked, this, [this] { runHandler(2); });

    m_hideTimer->setSingleShot(true);
    connect(m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
    m_trayWait->setInterval(kTrayIconPollMs);
    connect(m_trayWait, &QTimer::timeout, this, &TBalloon::showWaiting);
    QPalette timeLeftColours = m_timeLeft->palette();
    timeLeftColours.setColor(QPalette::WindowText, kTimeLeftColour);
    m_timeLeft->setPalette(timeLeftColours);
    m_timeLeft->hide();
    m_countdown->setInterval(kCountdownTickMs);
    connect(m_countdown, &QTimer::timeout, this, &TBalloon::showTimeLeft);
    connect(m_hideTimer, &QTimer::timeout, m_countdown, &QTimer::stop);
    resetParts();
}

TBalloon::~TBalloon() = default;

void TBalloon::resetParts()
{
    m_title->move(34, 10);
    m_text->move(20, m_text->y());
    m_icon->move(10, 10);
}

void TBalloon::HideBalloon()
{
    m_caption1.clear();
    m_caption2.clear();
    m_click1 = nullptr;
    m_click2 = nullptr;
    m_timeLeftFormat.clear();
    m_countdown->stop();
    m_timeLeft->hide();
    stopWaiting();
    resetParts();
    // A tick after hiding would only hide the hidden window again, so the timer simply stops.
    m_hideTimer->stop();
    hide();
}

void TBalloon::SetButton1Caption(const QString& caption)
{
    m_caption1 = caption;
}

void TBalloon::SetButton1Click(Handler handler)
{
    m_click1 = std::move(handler);
}

void TBalloon::SetButton2Caption(const QString& caption)
{
    m_caption2 = caption;
}

void TBalloon::SetButton2Click(Handler handler)
{
    m_click2 = std::move(handler);
}

void TBalloon::SetTimeLeftText(const QString& format)
{
    m_timeLeftFormat = format;
}

void TBalloon::showTimeLeft()
{
    const qint64 remaining = std::max<qint64>(0, m_hideAt.remainingTime());
    const qint64 seconds = (remaining + 999) / 1000;
    m_timeLeft->setText(QString(m_timeLeftFormat).replace(QLatin1String("%s"), QString::number(seconds)));
    if (remaining == 0)
        m_countdown->stop();
}

QPoint TBalloon::FindTrayIcon(const QRect& trayIconRect)
{
    if (!trayIconRect.isValid() || trayIconRect.isEmpty())
        return {-1, -1};
    return trayIconRect.topLeft();
}

void TBalloon::ShowNearTray(const QRect& trayIconRect, const QString& title, int seconds, BalloonKind kind,
                            const QString& text)
{
    stopWaiting();
    const QPoint found = FindTrayIcon(trayIconRect);
    const std::optional<QPoint> icon = found == QPoint(-1, -1) ? std::nullopt : std::optional<QPoint>(found);
    QScreen* screen = icon ? QGuiApplication::screenAt(trayIconRect.center()) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect monitor = screen ? screen->geometry() : QRect();
    const QRect workArea = screen ? screen->availableGeometry() : QRect();
    const BalloonAnchor anchor = ChooseBalloonAnchor(icon, monitor, workArea.isEmpty() ? monitor : workArea);
    showAt(anchor.point, anchor.tail, seconds, kind, text, title, workArea);
}

void TBalloon::ShowNearTray(const TrayBalloon& tray, const QString& title, int seconds, BalloonKind kind,
                            const QString& text)
{
    if (!tray.trayIconPending()) {
        ShowNearTray(tray.trayIconRect(), title, seconds, kind, text);
        return;
    }
    // The buttons set for this showing stay set while it waits: only a reset clears them.
    m_waiting = WaitingShow{&tray, title, seconds, kind, text, QDeadlineTimer(kTrayIconWaitMs)};
    m_trayWait->start();
}

void TBalloon::showWaiting()
{
    if (!m_waiting) {
        m_trayWait->stop();
        return;
    }
    const bool pending = m_waiting->tray->trayIconPending();
    if (pending && !m_waiting->deadline.hasExpired())
        return;
    const WaitingShow show = *m_waiting;
    // Past the deadline the icon's rectangle is not its place yet: the corner of the work area.
    ShowNearTray(pending ? QRect() : show.tray->trayIconRect(), show.title, show.seconds, show.kind,
                 show.text);
}

void TBalloon::stopWaiting()
{
    m_waiting.reset();
    m_trayWait->stop();
}

void TBalloon::forgetTray(const TrayBalloon* tray)
{
    if (m_waiting && m_waiting->tray == tray)
        stopWaiting();
}

void TBalloon::ShowAt(int x, int y, int tail, int seconds, BalloonKind kind, const QString& text,
                      const QString& title)
{
    stopWaiting();
    showAt(QPoint(x, y), tail, seconds, kind, text, title, QRect());
}

void TBalloon::showAt(QPoint point, int tail, int seconds, BalloonKind kind, const QString& text,
                      const QString& title, const QRect& workArea)
{
    m_tail = (tail >= TailBottomRight && tail <= TailNone) ? tail : TailNone;
    m_title->setText(title);
    // The window carries the title too, so desktop tools and tests can find the balloon.
    setWindowTitle(title);
    m_text->setText(WithLineFeeds(text));
    m_iconName = BalloonBitmapName(kind);
    m_icon->setPixmap(WithBottomLeftTransparent(BalloonBitmap(m_iconName)));

    // The time-left line sits under the message, in the message's column; it is measured with the
    // most seconds it will show, so that counting down never needs more room.
    const bool countsDown = !m_timeLeftFormat.isEmpty() && seconds > 0;
    m_countdown->stop();
    m_timeLeft->setVisible(countsDown);
    int timeLeftHeight = 0;
    if (countsDown) {
        m_hideAt.setRemainingTime(static_cast<qint64>(seconds) * 1000);
        showTimeLeft();
        m_timeLeft->setFont(font());
        timeLeftHeight = static_cast<BalloonText*>(m_text)->lineStep();
    }

    BalloonContent content;
    content.tail = m_tail;
    content.titleSize = m_title->sizeHint();
    content.textSize = m_text->sizeHint();
    if (countsDown)
        content.textSize = QSize(std::max(content.textSize.width(), m_timeLeft->sizeHint().width()),
                                 content.textSize.height() + timeLeftHeight);
    content.button1Chars = static_cast<int>(m_caption1.size());
    content.button2Chars = static_cast<int>(m_caption2.size());
    m_layout = ComputeBalloonLayout(content);

    m_icon->setGeometry(m_layout.icon);
    m_title->setGeometry(m_layout.title);
    QRect message = m_layout.text;
    message.setHeight(message.height() - timeLeftHeight);
    m_text->setGeometry(message);
    if (countsDown) {
        m_timeLeft->setGeometry(message.left(),
                                message.bottom() + 1 + timeLeftHeight - m_timeLeft->sizeHint().height(),
                                m_layout.text.width(), m_timeLeft->sizeHint().height());
        m_countdown->start();
    }
    // A lone second caption takes the first button's place (see ComputeBalloonLayout).
    placeButton(m_button1, m_layout.button1, m_caption1);
    placeButton(m_button2, m_layout.button2, m_caption2);

    const QSize size = m_layout.window;
    m_region = BalloonRegion(ComputeBalloonShape(m_tail, size));
    setGeometry(QRect(PlaceBalloonWindow(point, m_tail, size, workArea), size));
    setMask(m_region);
    show();
    raise();
    update();

    m_hideTimer->stop();
    if (seconds > 0) {
        m_hideTimer->setInterval(seconds > INT_MAX / 1000 ? INT_MAX : seconds * 1000);
        m_hideTimer->start();
    }
}

void TBalloon::placeButton(QPushButton* button, const std::optional<QRect>& place, const QString& caption)
{
    if (!place) {
        button->hide();
        return;
    }
    button->setText(caption);
    button->setGeometry(*place);
    button->show();
}

void TBalloon::runHandler(int button)
{
    // The handler is copied first: it may reset or refill this balloon (GetBalloon, ShowNearTray),
    // which replaces the stored handlers while this one still runs.
    const Handler handler = button == 1 ? m_click1 : m_click2;
    if (!handler)
        return;
    try {
        handler();
    } catch (...) {
        // A handler reports its own failures; nothing may leave a Qt slot.
    }
}

void TBalloon::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    for (const QRect& r : RegionFrame(m_region))
        painter.fillRect(r, Qt::black);
}

void TBalloon::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        hide();
    event->accept();
}

void TBalloon::changeEvent(QEvent* event)
{
    // The balloon cannot be minimised: a minimise request shows it again.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
    }
    QWidget::changeEvent(event);
}

void CreateBalloon()
{
    if (!g_balloon)
        g_balloon = new TBalloon();
}

void DestroyBalloon()
{
    delete g_balloon;
    g_balloon = nullptr;
}

TBalloon& GetBalloon()
{
    CreateBalloon();
    g_balloon->HideBalloon();
    return *g_balloon;
}

void HideBalloon()
{
    if (g_balloon)
        g_balloon->HideBalloon();
}

void ForgetBalloonTray(const TrayBalloon* tray)
{
    if (g_balloon)
        g_balloon->forgetTray(tray);
}

} // namespace tern
