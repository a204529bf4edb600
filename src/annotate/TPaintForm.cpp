#include "annotate/TPaintForm.h"

#include "annotate/FrameOverlays.h"
#include "annotate/QtPaintSurface.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace tern {

namespace {

// How much the dimmed picture darkens the desktop: black at alpha 28, about 11 %.
constexpr QRgb kDimming = 0x1C000000U;
// The frozen pictures' format: the one a window's backing store holds on 24-bit screens, so
// painting them is a plain copy.
constexpr QImage::Format kShotFormat = QImage::Format_RGB32;

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

// Copies `area` of `source` onto the painter's device unchanged. A plain copy of rows when the device
// is an image of 32-bit pixels without scaling (a window's backing store, a buffer): drawing it
// through the painter would make the raster engine split it across worker threads, which costs more
// than the copy on a busy machine.
void CopyPixels(QPainter& painter, const QImage& source, const QRect& area)
{
    const QRect from = area & source.rect();
    if (from.isEmpty())
        return;
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    const QTransform transform = painter.deviceTransform();
    if (device && device->devType() == QInternal::Image && transform.type() <= QTransform::TxTranslate &&
        source.format() == QImage::Format_RGB32) {
        auto* target = static_cast<QImage*>(device);
        const QImage::Format format = target->format();
        if ((format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied) &&
            target->devicePixelRatio() == 1.0) {
            const QPoint offset(qRound(transform.dx()), qRound(transform.dy()));
            const QRect to = from.translated(offset) & target->rect();
            const QPoint start = to.topLeft() - offset;
            for (int y = 0; y < to.height(); ++y)
                std::memcpy(target->scanLine(to.y() + y) + static_cast<std::size_t>(to.x()) * 4,
                            source.constScanLine(start.y() + y) + static_cast<std::size_t>(start.x()) * 4,
                            static_cast<std::size_t>(to.width()) * 4);
            return;
        }
    }
    painter.drawImage(from.topLeft(), source, from);
}

QPoint EventPoint(const QMouseEvent* event)
{
    return event->position().toPoint();
}

} // namespace

TPaintForm::TPaintForm(platform::ScreenCapture& capture, HintText hintText, QWidget* parent)
    : QWidget(parent), m_hintSource(std::move(hintText))
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
        DimmedShot = CleanShot.copy();
        QPainter dim(&DimmedShot);
        dim.fillRect(DimmedShot.rect(), QColor::fromRgba(kDimming));
    }
}

TPaintForm::~TPaintForm() = default;

TPaintObject& TPaintForm::AddObject()
{
    if (TPaintObject* last = Objects.Last(); last && last->IsEmpty()) {
        // An accidental scribble may have left pixels: they go with it.
        update(AnnotationBounds(*last) & selectionRect());
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
        update();
    else
        update(changed);
}

void TPaintForm::SetFrameMode(bool value)
{
    FrameMode = value;
    if (hintShown())
        update();
    else
        update(FrameArea(Selection));
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

    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : region) {
        if (Final)
            painter.fillRect(r, Qt::transparent);
        else
            for (const QRect& part : QRegion(r).subtracted(selection))
                CopyPixels(painter, DimmedShot, part);
    }
    for (const QRect& r : inside)
        CopyPixels(painter, fromUnderlay ? Underlay : CleanShot, r);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    if (!inside.isEmpty() && Objects.Count() > 0) {
        painter.setClipRegion(inside);
        QtPaintSurface surface(painter);
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
    if (region.intersects(FrameArea(Selection))) {
        DrawSelectionOutline(painter, Selection, FrameMode);
        if (FrameMode) {
            DrawSelectionHandles(painter, Selection);
            DrawSizeLabel(painter, Selection);
        }
    }
    if (FrameMode && hintShown())
        DrawSelectionHint(painter, hintText(), m_desktop.size());
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
    const QRect area = selectionRect() & QRect(QPoint(0, 0), m_desktop.size());
    if (area.isEmpty()) {
        ResultBmp = QImage();
        return ResultBmp;
    }
    // Composed in the desktop-sized buffer, so that strokes are rasterized exactly as they showed.
    if (BackBuffer.size() != m_desktop.size())
        BackBuffer = QImage(m_desktop.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&BackBuffer);
        paintPicture(painter, QRegion(area), true);
    }
    ResultBmp = BackBuffer.copy(area).convertToFormat(kShotFormat);
    return ResultBmp;
}

bool TPaintForm::refreshUnderlay()
{
    if (m_underlayValid && m_underlayRevision == Objects.revision())
        return true;
    if (CleanShot.isNull())
        return false;
    // Desktop-sized and drawn unclipped, so that it serves every selection and its strokes are
    // rasterized exactly as on the window.
    Underlay = CleanShot.copy();
    {
        QPainter painter(&Underlay);
        QtPaintSurface surface(painter);
        for (std::int32_t i = 0; i + 1 < Objects.Count(); ++i)
            Objects.Items(i).Draw(surface, true);
    }
    m_underlayRevision = Objects.revision();
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
    update(m_liveArea & selectionRect());
}

void TPaintForm::PaintOnWindow(const TPaintObject& object)
{
    const QRect now = AnnotationBounds(object);
    update((QRegion(m_liveArea) + now) & selectionRect());
    m_liveArea = now;
}

void TPaintForm::paintEvent(QPaintEvent* event)
{
    try {
        QPainter painter(this);
        PaintRegion(painter, event->region());
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

void TPaintForm::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = EventPoint(event);
    if (event->button() == Qt::LeftButton)
        raise(OnFrameDown, HitTest(Selection, p.x(), p.y()), p.x(), p.y());
    else if (event->button() == Qt::RightButton)
        raise(OnFrameDown, -1, p.x(), p.y());
}

void TPaintForm::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = EventPoint(event);
    raise(OnFrameMove, HitTest(Selection, p.x(), p.y()), p.x(), p.y());
}

void TPaintForm::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = EventPoint(event);
    if (event->button() == Qt::LeftButton)
        raise(OnFrameUp, HitTest(Selection, p.x(), p.y()), p.x(), p.y());
}

} // namespace tern
