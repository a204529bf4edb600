#include "annotate/TPaintForm.h"

#include "annotate/FrameOverlays.h"
#include "annotate/QtPaintSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

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
        pixels.release();
    return image;
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

void TPaintForm::paintPicture(QPainter& painter, const QRegion& region, bool Final,
                              const TPaintObject* leaveOut)
{
    const QRect selection = selectionRect();
    const QRegion inside = region & selection;
    const bool fromUnderlay = !Final && leaveOut == nullptr && underlayFits();

    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : region) {
        if (Final)
            painter.fillRect(r, Qt::transparent);
        else
            for (const QRect& part : QRegion(r).subtracted(selection))
                painter.drawImage(part.topLeft(), DimmedShot, part);
    }
    for (const QRect& r : inside) {
        if (fromUnderlay)
            painter.drawImage(r.topLeft(), Underlay, r);
        else
            painter.drawImage(r.topLeft(), CleanShot, r);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    if (!inside.isEmpty() && Objects.Count() > 0) {
        painter.setClipRegion(inside);
        QtPaintSurface surface(painter);
        // The caret shows only while a drawing tool is active.
        const bool finalDraw = Final || FrameMode;
        if (fromUnderlay) {
            Objects.Last()->Draw(surface, finalDraw);
        } else {
            for (std::int32_t i = 0; i < Objects.Count(); ++i) {
                TPaintObject& object = Objects.Items(i);
                if (&object != leaveOut)
                    object.Draw(surface, finalDraw);
            }
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
    paintPicture(painter, region, false, nullptr);
    paintOverlays(painter, region);
}

void TPaintForm::Compose(bool Final)
{
    if (BackBuffer.size() != m_desktop.size())
        BackBuffer = QImage(m_desktop.size(), QImage::Format_ARGB32_Premultiplied);
    if (BackBuffer.isNull())
        return;
    QPainter painter(&BackBuffer);
    paintPicture(painter, QRegion(BackBuffer.rect()), Final, nullptr);
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
    ResultBmp = QImage(area.size(), kShotFormat);
    QPainter painter(&ResultBmp);
    painter.translate(-area.topLeft());
    paintPicture(painter, QRegion(area), true, nullptr);
    return ResultBmp;
}

bool TPaintForm::underlayFits() const
{
    return m_underlayValid && !Underlay.isNull() && Objects.Count() > 0 &&
           m_underlayRevision == Objects.revision() && m_underlaySelection == Selection &&
           m_underlayFrameMode == FrameMode;
}

void TPaintForm::SaveUnderlay()
{
    m_underlayValid = false;
    const QRect area = selectionRect();
    if (area.isEmpty() || CleanShot.isNull())
        return;
    // Desktop-sized, so that strokes are rasterized exactly as on the window; only the selection's
    // part is ever written or read.
    if (Underlay.size() != m_desktop.size())
        Underlay = QImage(m_desktop.size(), kShotFormat);
    {
        QPainter painter(&Underlay);
        paintPicture(painter, QRegion(area), false, Objects.Last());
    }
    m_underlayRevision = Objects.revision();
    m_underlaySelection = Selection;
    m_underlayFrameMode = FrameMode;
    m_underlayValid = true;
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
