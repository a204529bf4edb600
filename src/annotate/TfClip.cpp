#include "annotate/TfClip.h"

#include "annotate/AnnotateContext.h"
#include "annotate/AnnotateLog.h"
#include "annotate/TfToolBox.h"
#include "lang/TextKeys.h"
#include "platform/TaskbarHint.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace tern {

namespace {

// The palette's distance from the top and right edges of its monitor.
constexpr int kPaletteInset = 20;
// A freehand stroke gains a point only once the pointer is this far (rounded) from the last one.
constexpr int kFreehandStep = 4;
constexpr int kCaretBlinkMs = 1000;
constexpr int kSmallStep = 2;
constexpr int kShiftStep = 10;

QElapsedTimer startedNow()
{
    QElapsedTimer timer;
    timer.start();
    return timer;
}

bool isShape(TPaintKind tool)
{
    return tool == TPaintKind::pkLine || tool == TPaintKind::pkRect || tool == TPaintKind::pkArrow ||
           tool == TPaintKind::pkEllipse;
}

std::int32_t clampedSize(int index)
{
    return std::clamp(index, 0, 2);
}

} // namespace

TfClip::TfClip(AnnotateContext& context) : TfClip(context, startedNow()) {}

TfClip::TfClip(AnnotateContext& context, QElapsedTimer started)
    : TPaintForm(context.Capture(), [&context] { return TextOf(context, text::kDrawNotes); }),
      m_context(context), m_started(started)
{
    qCDebug(lcAnnotate) << "selector: desktop frozen after" << m_started.elapsed() << "ms";
    setObjectName(QStringLiteral("fClip"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // The program's own modal bracket keeps its commands and dialogs away while the selector runs.
    // Where each output has a window of the selector's, the toolkit's modality would block every
    // window but the form's: the other outputs' views would take no pointer.
    if (!CoversOutputsOneByOne())
        setWindowModality(Qt::ApplicationModal);
    // A full-screen picture of a moment, not a window to switch to: no taskbar entry.
    platform::KeepOffTaskbar(static_cast<platform::WindowHandle>(winId()));
    setCursor(Qt::ArrowCursor);
    OnFrameDown = [this](std::int32_t zone, std::int32_t x, std::int32_t y) { FrameDown(zone, x, y); };
    OnFrameMove = [this](std::int32_t zone, std::int32_t x, std::int32_t y) { FrameMove(zone, x, y); };
    OnFrameUp = [this](std::int32_t zone, std::int32_t x, std::int32_t y) { FrameUp(zone, x, y); };
    m_curTimer.setInterval(kCaretBlinkMs);
    connect(&m_curTimer, &QTimer::timeout, this, &TfClip::curTimerTimer);
    m_curTimer.start();
    FormCreate();
    m_context.EnterModal();
}

TfClip::~TfClip()
{
    m_curTimer.stop();
    // The palette acts on this form: it goes first.
    delete m_toolBox;
    m_toolBox = nullptr;
    m_context.LeaveModal();
}

// The palette opens near the top-right corner of the primary monitor, where the selector stands
// before it spreads over the whole virtual desktop.
void TfClip::FormCreate()
{
    m_toolBox = new TfToolBox(*this, QString::fromStdString(TextOf(m_context, text::kUploadButton)), this);
    m_context.TranslateForm(m_toolBox);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect monitor = screen ? screen->geometry() : desktopGeometry();
    m_toolBox->placeFrameAt(
        {monitor.left() + monitor.width() - m_toolBox->frameGeometry().width() - kPaletteInset,
         monitor.top() + kPaletteInset});
    // Where each output has a window of the selector's, the compositor sizes them.
    if (!CoversOutputsOneByOne())
        setGeometry(desktopGeometry());
}

void TfClip::Execute()
{
    m_toolBox->MarkColor(CurColor);
    m_toolBox->MarkFont(CurFont);
    m_toolBox->MarkLine(CurLine);
    ModalResult = 0;
    m_running = true;
    // Without a frozen picture there is nothing to select; the end is reported from the event loop,
    // as every end is.
    if (desktopGeometry().isEmpty()) {
        QTimer::singleShot(0, this, [this] { endRun(kCancelled); });
        return;
    }
    if (CoversOutputsOneByOne())
        ShowOnEachOutput();
    else
        show();
    QWidget::raise();
    activateWindow();
    m_toolBox->raise();
}

void TfClip::endRun(int result)
{
    if (ModalResult == 0)
        ModalResult = result;
    if (!m_running)
        return;
    m_running = false;
    m_toolBox->hide();
    hide();
    // The window's buffer goes before the picture is made, the frozen desktop after it: the result
    // never adds to the pictures of the desktop's size alive.
    destroy();
    if (ModalResult == kConfirmed)
        ResultBitmap();
    ReleaseFrames();
    emit finished(ModalResult);
}

void TfClip::Confirm()
{
    // An area without pixels has nothing to share: the run ends as if cancelled.
    endRun(Selection.width() > 0 && Selection.height() > 0 ? kConfirmed : kCancelled);
}

void TfClip::SetCurFont(int index)
{
    TPaintForm::SetCurFont(clampedSize(index));
}

void TfClip::SetCurLine(int index)
{
    TPaintForm::SetCurLine(clampedSize(index));
}

void TfClip::SetTool(int tool)
{
    Tool = PaintKindOfTool(tool);
    if (Tool == TPaintKind::pkNone) {
        Mode = cmAdjusting;
        SetFrameMode(true);
    } else {
        Mode = cmDrawing;
        SetFrameMode(false);
    }
    RepaintAll();
}

void TfClip::Undo()
{
    if (Objects.Count() > 0)
        Objects.Delete(Objects.Count() - 1);
    RepaintAll();
}

void TfClip::FrameDown(std::int32_t zone, std::int32_t x, std::int32_t y)
{
    if (zone == -1) {
        m_toolBox->placeFrameAt(desktopGeometry().topLeft() + QPoint(x, y));
        m_toolBox->show();
        m_toolBox->raise();
        return;
    }
    DownZone = zone;
    ButtonDown = true;
    if (zone == fzOutside && Mode == cmAdjusting)
        Mode = cmIdle;
    switch (Mode) {
    case cmIdle:
        SetSelection({x, y, x, y});
        Anchor = QPoint(x, y);
        Mode = cmSelecting;
        break;
    case cmAdjusting:
        Anchor = QPoint(x - Selection.Left, y - Selection.Top);
        break;
    case cmDrawing: {
        TPaintObject& object = AddObject();
        object.SizeIndex = Tool == TPaintKind::pkText ? CurFont : CurLine;
        SaveUnderlay();
        object.Kind = Tool;
        object.AddPoint(x, y);
        break;
    }
    default:
        break;
    }
}

void TfClip::FrameMove(std::int32_t zone, std::int32_t x, std::int32_t y)
{
    setCursorForZone(zone);
    const QRect form = desktopGeometry();
    const TRect r = SelectionAfterMove(Selection, Mode, DownZone, Anchor.x(), Anchor.y(), x, y, form.width(),
                                       form.height());
    TPaintObject* newest = LastObject();
    if (ButtonDown && newest && !newest->Points.empty()) {
        if (Tool == TPaintKind::pkFreehand) {
            const TPointItem& last = newest->Points.back();
            if (std::nearbyint(PointDistance(x, y, last.X, last.Y)) > kFreehandStep) {
                newest->AddPoint(x, y);
                PaintOnWindow(*newest);
            }
        } else if (isShape(Tool)) {
            newest->KeepFirstPoint();
            newest->AddPoint(x, y);
            RestoreUnderlay();
            PaintOnWindow(*newest);
        }
    }
    SetSelection(r);
}

void TfClip::FrameUp(std::int32_t /*zone*/, std::int32_t /*x*/, std::int32_t /*y*/)
{
    Mode = ModeAfterRelease(Mode, Selection);
    DownZone = 0;
    ButtonDown = false;
    RepaintAll();
}

void TfClip::setCursorForZone(std::int32_t zone)
{
    if (zone == m_cursorZone)
        return;
    m_cursorZone = zone;
    switch (zone) {
    case fzTopLeft:
    case fzBottomRight:
        SetPointerShape(Qt::SizeFDiagCursor);
        break;
    case fzTopRight:
    case fzBottomLeft:
        SetPointerShape(Qt::SizeBDiagCursor);
        break;
    case fzInside:
        SetPointerShape(Qt::SizeAllCursor);
        break;
    default:
        SetPointerShape(Qt::ArrowCursor);
        break;
    }
}

void TfClip::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
        moveNewest(key, event->modifiers().testFlag(Qt::ShiftModifier));
        return;
    }
    if (key == Qt::Key_Escape) {
        endRun(kCancelled);
        return;
    }
    typeIntoNewest(event);
}

// Arrow keys move the newest annotation while a drawing tool is active.
bool TfClip::moveNewest(int key, bool shift)
{
    TPaintObject* newest = LastObject();
    if (Mode != cmDrawing || !newest)
        return false;
    const std::int32_t step = shift ? kShiftStep : kSmallStep;
    switch (key) {
    case Qt::Key_Left:
        newest->OffsetX(-step);
        break;
    case Qt::Key_Up:
        newest->OffsetY(-step);
        break;
    case Qt::Key_Right:
        newest->OffsetX(step);
        break;
    default:
        newest->OffsetY(step);
        break;
    }
    RepaintAll();
    return true;
}

// Typed characters edit the newest annotation while it is a text and the text tool is active:
// Backspace removes the last character, Enter starts a new line, control characters are dropped.
void TfClip::typeIntoNewest(QKeyEvent* event)
{
    TPaintObject* newest = LastObject();
    if (Tool != TPaintKind::pkText || !newest || newest->Kind != TPaintKind::pkText)
        return;
    std::u16string& text = newest->Text;
    const int key = event->key();
    if (key == Qt::Key_Backspace) {
        if (!text.empty()) {
            const bool pair = text.size() >= 2 && QChar::isLowSurrogate(text.back()) &&
                              QChar::isHighSurrogate(text[text.size() - 2]);
            text.erase(text.size() - (pair ? 2 : 1));
        }
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        text.push_back(u'\n');
    } else {
        QString typed = event->text();
        typed.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
        if (typed.isEmpty())
            return;
        text += typed.toStdU16String();
    }
    RestoreUnderlay();
    PaintOnWindow(*newest);
}

void TfClip::curTimerTimer()
{
    if (Tool == TPaintKind::pkText)
        RepaintAll();
}

void TfClip::paintEvent(QPaintEvent* event)
{
    TPaintForm::paintEvent(event);
    if (!m_firstFrameShown) {
        m_firstFrameShown = true;
        qCDebug(lcAnnotate) << "selector: first frame shown" << m_started.elapsed()
                            << "ms after construction began";
    }
}

void TfClip::showEvent(QShowEvent* event)
{
    TPaintForm::showEvent(event);
    // A compositor puts the palette on the output that has the keyboard, where only a window it
    // belongs to may stand above the output's full-screen window: it waits until one of the
    // selector's windows has the keyboard, and belongs to that one.
    if (!CoversOutputsOneByOne())
        showPalette(*this);
}

void TfClip::showPalette(QWidget& over)
{
    if (m_paletteShown)
        return;
    m_paletteShown = true;
    if (&over != this) {
        m_toolBox->winId();
        if (QWindow* palette = m_toolBox->windowHandle())
            palette->setTransientParent(over.windowHandle());
    }
    m_toolBox->show();
    m_toolBox->raise();
}

void TfClip::changeEvent(QEvent* event)
{
    TPaintForm::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    showPalette(*this);
    if (!m_toolBox->isVisible())
        return;
    if (!m_paletteRemapped && !CoversOutputsOneByOne()) {
        // The palette was mapped before the window manager managed the selector, so it could not be
        // stacked as the selector's transient; mapped again now, it is. (A compositor stacks it by
        // its parent from the start.)
        m_paletteRemapped = true;
        m_toolBox->hide();
        m_toolBox->show();
    }
    m_toolBox->raise();
}

void TfClip::closeEvent(QCloseEvent* event)
{
    endRun(kCancelled);
    event->accept();
}

} // namespace tern
