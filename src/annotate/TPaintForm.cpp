#include "annotate/TPaintForm.h"

#include "annotate/FrameCopy.h"
#include "annotate/FrameMemory.h"
#include "annotate/FrameOverlays.h"
#include "annotate/OutputView.h"
#include "annotate/QtPaintSurface.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace tern {

bool TPaintForm::CoversOutputsOneByOne()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

namespace {

// The frozen pictures' format: the one a window's backing store holds on 24-bit screens, so
// painting them is a plain copy.
constexpr QImage::Format kShotFormat = QImage::Format_RGB32;
// The underlay's: the same bytes without the unused alpha byte, so that the underlay takes three
// quarters of the memory of a frozen picture of its size.
constexpr QImage::Format kUnderlayFormat = QImage::Format_BGR888;

// An image over the captured pixels themselves; the image frees them when its last copy goes.
QImage AdoptPicture(platform::ScreenPicture&& picture)
{
    auto pixels = std::make_unique<std::vector<std::uint32_t>>(std::move(picture.pixels));
    uchar* data = reinterpret_cast<uchar*>(pixels->data());
    QImage image(
        data, picture.width, picture.height, static_cast<qsizetype>(picture.width) * 4, kShotFormat,
        [](void* info) { delete static_cast<std::vector<std::uint32_t>*>(info); }, pixels.get());
    if (!image.isNull())
        static_cast<void>(pixels.release()); // the image's cleanup function owns the pixels now
    return image;
}

QPoint EventPoint(const QMouseEvent* event)
{
    return event->position().toPoint();
}

} // namespace

TPaintForm::TPaintForm(platform::ScreenCapture& capture, HintText hintText, QWidget* parent)
    : QWidget(parent), m_hintSource(std::move(hintText)), m_sizeLabel(MakeSizeLabel()),
      m_hintLabel(MakeSelectionHint())
{
    // Every paint covers its whole region, so the window is never erased between frames.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);

    platform::ScreenPicture picture = capture.capture(capture.virtualDesktop());
    if (!picture.empty() && picture.pixels.size() == static_cast<std::size_t>(picture.width) *
                                                         static_cast<std::size_t>(picture.height)) {
        m_desktop = QRect(picture.left, picture.top, picture.width, picture.height);
        CleanShot = AdoptPicture(std::move(picture));
    }
}

TPaintForm::~TPaintForm()
{
    ResultBmp = QImage();
    ReleaseFrames();
}

void TPaintForm::ReleaseFrames()
{
    CleanShot = QImage();
    Underlay = QImage();
    BackBuffer = QImage();
    m_underlayValid = false;
    m_sizeLabel.clear();
    m_hintLabel.clear();
    // The window's buffer is as large as the desktop; the window is made again if shown again.
    if (testAttribute(Qt::WA_WState_Created))
        destroy();
    for (const QPointer<OutputView>& view : m_views) {
        if (view) {
            view->Release();
            view->deleteLater();
        }
    }
    m_views.clear();
    ReturnFreedMemory();
}

TPaintObject& TPaintForm::AddObject()
{
    if (TPaintObject* last = Objects.Last(); last && last->IsEmpty()) {
        // An accidental scribble may have left pixels: they go with it.
        Repaint(AnnotationBounds(*last) & selectionRect());
        Objects.Delete(Objects.Count() - 1);
    }
    TPaintObject& object = Objects.Add();
    object.Color = CurrentARGB();
    m_liveArea = QRect();
    return object;
}

QRect TPaintForm::selectionRect() const
{
    return QRect(Selection.Left, Selection.Top, Selection.width(), Selection.height());
}

void TPaintForm::SetSelection(const TRect& r)
{
    const TRect next = NormalizedRect(r);
    if (next == Selection)
        return;
    const bool hintBefore = FrameMode && hintShown();
    QRegion changed = QRegion(FrameArea(Selection)) + FrameArea(next);
    Selection = next;
    if (hintBefore != (FrameMode && hintShown()))
        RepaintAll();
    else
        Repaint(changed);
}

void TPaintForm::SetFrameMode(bool value)
{
    FrameMode = value;
    if (hintShown())
        RepaintAll();
    else
        Repaint(FrameArea(Selection));
}

std::int32_t TPaintForm::HitTest(const TRect& r, std::int32_t x, std::int32_t y) const
{
    return FrameMode ? FrameHitZone(r, x, y) : fzOutside;
}

QString TPaintForm::hintText()
{
    if (!m_hintFetched) {
        m_hintFetched = true;
        try {
            if (m_hintSource)
                m_hint = QString::fromStdString(m_hintSource());
        } catch (...) {
            // Without its text the hint is left out; selecting works the same.
            m_hint.clear();
        }
    }
    return m_hint;
}

void TPaintForm::paintPicture(QPainter& painter, const QRegion& region, bool Final)
{
    const QRect selection = selectionRect();
    const QRegion inside = region & selection;
    // Live pictures take the older annotations from the underlay and draw only the newest one.
    const bool fromUnderlay = !Final && Objects.Count() > 1 && refreshUnderlay();
    const QPoint origin(0, 0);

    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : region) {
        if (Final)
            painter.fillRect(r, Qt::transparent);
        else
            for (const QRect& part : QRegion(r).subtracted(selection))
                CopyDimmedPixels(painter, CleanShot, origin, part);
    }
    for (const QRect& r : inside) {
        if (fromUnderlay)
            CopyPixels(painter, Underlay, m_underlayArea.topLeft(), r);
        else
            CopyPixels(painter, CleanShot, origin, r);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    if (!inside.isEmpty() && Objects.Count() > 0) {
        painter.setClipRegion(inside);
        QtPaintSurface surface(painter, &m_textPictures);
        // The caret shows only while a drawing tool is active.
        const bool finalDraw = Final || FrameMode;
        for (std::int32_t i = fromUnderlay ? Objects.Count() - 1 : 0; i < Objects.Count(); ++i) {
            TPaintObject& object = Objects.Items(i);
            if (inside.intersects(AnnotationBounds(object)))
                object.Draw(surface, finalDraw);
        }
    }
    painter.restore();
}

void TPaintForm::paintOverlays(QPainter& painter, const QRegion& region)
{
    painter.save();
    painter.setClipRegion(region);
    // Without an area there is no frame to show, only the invitation to select.
    if (hintShown()) {
        if (FrameMode)
            DrawSelectionHint(painter, hintText(), m_desktop.size(), m_hintLabel);
    } else if (region.intersects(FrameArea(Selection))) {
        DrawSelectionOutline(painter, Selection, FrameMode);
        if (FrameMode) {
            DrawSelectionHandles(painter, Selection);
            DrawSizeLabel(painter, Selection, m_sizeLabel);
        }
    }
    painter.restore();
}

void TPaintForm::PaintRegion(QPainter& painter, const QRegion& region)
{
    paintPicture(painter, region, false);
    paintOverlays(painter, region);
}

void TPaintForm::Compose(bool Final)
{
    if (BackBuffer.size() != m_desktop.size())
        BackBuffer = QImage(m_desktop.size(), QImage::Format_ARGB32_Premultiplied);
    if (BackBuffer.isNull())
        return;
    QPainter painter(&BackBuffer);
    paintPicture(painter, QRegion(BackBuffer.rect()), Final);
}

void TPaintForm::DrawFrame()
{
    if (BackBuffer.isNull())
        return;
    QPainter painter(&BackBuffer);
    paintOverlays(painter, QRegion(BackBuffer.rect()));
}

const QImage& TPaintForm::ResultBitmap()
{
    if (CleanShot.isNull())
        return ResultBmp;
    const QRect area = selectionRect() & QRect(QPoint(0, 0), m_desktop.size());
    ResultBmp = QImage();
    if (area.isEmpty())
        return ResultBmp;
    Underlay = QImage();
    m_underlayValid = false;
    // Drawn with the selection's corner at the picture's origin: an integral shift rasterizes strokes
    // exactly as they showed.
    ResultBmp = QImage(area.size(), kShotFormat);
    if (ResultBmp.isNull())
        return ResultBmp;
    QPainter painter(&ResultBmp);
    painter.translate(-area.topLeft());
    paintPicture(painter, QRegion(area), true);
    return ResultBmp;
}

bool TPaintForm::refreshUnderlay()
{
    const QRect area = selectionRect() & CleanShot.rect();
    if (m_underlayValid && m_underlayRevision == Objects.revision() && m_underlayArea == area)
        return true;
    m_underlayValid = false;
    if (CleanShot.isNull() || area.isEmpty())
        return false;
    if (Underlay.size() != area.size()) {
        // The old one goes before the new one is made: never two at once.
        Underlay = QImage();
        Underlay = QImage(area.size(), kUnderlayFormat);
        if (Underlay.isNull())
            return false;
    }
    // The older annotations are drawn in bands of rows on a 32-bit copy of the band, which is then
    // packed into the underlay: drawn in client coordinates and on the frozen picture's format, they
    // rasterize exactly as on the window.
    constexpr int kBandRows = 64;
    QImage band(area.width(), std::min(kBandRows, area.height()), kShotFormat);
    if (band.isNull())
        return false;
    for (int top = 0; top < area.height(); top += kBandRows) {
        const int rows = std::min(kBandRows, area.height() - top);
        const QRect bandArea(area.x(), area.y() + top, area.width(), rows);
        for (int y = 0; y < rows; ++y)
            std::memcpy(band.scanLine(y),
                        CleanShot.constScanLine(bandArea.y() + y) + static_cast<std::size_t>(area.x()) * 4,
                        static_cast<std::size_t>(area.width()) * 4);
        {
            QPainter painter(&band);
            painter.setClipRect(QRect(0, 0, area.width(), rows));
            painter.translate(-bandArea.topLeft());
            QtPaintSurface surface(painter, &m_textPictures);
            for (std::int32_t i = 0; i + 1 < Objects.Count(); ++i) {
                TPaintObject& object = Objects.Items(i);
                if (AnnotationBounds(object).intersects(bandArea))
                    object.Draw(surface, true);
            }
        }
        for (int y = 0; y < rows; ++y) {
            const uchar* in = band.constScanLine(y);
            uchar* out = Underlay.scanLine(top + y);
            for (int x = 0; x < area.width(); ++x, in += 4, out += 3) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
    }
    m_underlayRevision = Objects.revision();
    m_underlayArea = area;
    m_underlayValid = true;
    return true;
}

void TPaintForm::SaveUnderlay()
{
    refreshUnderlay();
    m_liveArea = Objects.Last() ? AnnotationBounds(*Objects.Last()) : QRect();
}

void TPaintForm::RestoreUnderlay()
{
    Repaint(m_liveArea & selectionRect());
}

void TPaintForm::PaintOnWindow(const TPaintObject& object)
{
    const QRect now = AnnotationBounds(object);
    Repaint((QRegion(m_liveArea) + now) & selectionRect());
    m_liveArea = now;
}

void TPaintForm::ShowOnEachOutput()
{
    QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect output = screen->geometry();
        if (screen == primary || !output.intersects(m_desktop))
            continue;
        auto* view = new OutputView(*this, screen, output.topLeft() - m_desktop.topLeft());
        m_views.emplace_back(view);
        view->showFullScreen();
    }
    // The compositor gives the keyboard to the window mapped last: the form, which takes the keys.
    if (primary) {
        m_viewOrigin = primary->geometry().topLeft() - m_desktop.topLeft();
        setScreen(primary);
    }
    showFullScreen();
}

void TPaintForm::Repaint(const QRegion& area)
{
    update(area.translated(-m_viewOrigin));
    for (const QPointer<OutputView>& view : m_views)
        if (view)
            view->update(area.translated(-view->origin()));
}

void TPaintForm::RepaintAll()
{
    update();
    for (const QPointer<OutputView>& view : m_views)
        if (view)
            view->update();
}

void TPaintForm::SetPointerShape(Qt::CursorShape shape)
{
    setCursor(shape);
    for (const QPointer<OutputView>& view : m_views)
        if (view)
            view->setCursor(shape);
}

void TPaintForm::paintEvent(QPaintEvent* event)
{
    try {
        QPainter painter(this);
        painter.translate(-m_viewOrigin);
        PaintRegion(painter, event->region().translated(m_viewOrigin));
    } catch (...) {
        // A failed paint leaves the old picture; the next one tries again.
    }
}

void TPaintForm::raise(const TFrameEvent& handler, std::int32_t button, std::int32_t x, std::int32_t y)
{
    if (!handler)
        return;
    try {
        handler(button, x, y);
    } catch (...) {
        // A frame handler's failure must not leave the event handler; the event is dropped.
    }
}

void TPaintForm::PointerPressed(Qt::MouseButton button, QPoint at)
{
    if (button == Qt::LeftButton)
        raise(OnFrameDown, HitTest(Selection, at.x(), at.y()), at.x(), at.y());
    else if (button == Qt::RightButton)
        raise(OnFrameDown, -1, at.x(), at.y());
}

void TPaintForm::PointerMoved(QPoint at)
{
    raise(OnFrameMove, HitTest(Selection, at.x(), at.y()), at.x(), at.y());
}

void TPaintForm::PointerReleased(Qt::MouseButton button, QPoint at)
{
    if (button == Qt::LeftButton)
        raise(OnFrameUp, HitTest(Selection, at.x(), at.y()), at.x(), at.y());
}

void TPaintForm::mousePressEvent(QMouseEvent* event)
{
    PointerPressed(event->button(), EventPoint(event) + m_viewOrigin);
}

void TPaintForm::mouseMoveEvent(QMouseEvent* event)
{
    PointerMoved(EventPoint(event) + m_viewOrigin);
}

void TPaintForm::mouseReleaseEvent(QMouseEvent* event)
{
    PointerReleased(event->button(), EventPoint(event) + m_viewOrigin);
}

} // namespace tern
