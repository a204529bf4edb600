#pragma once

#include "annotate/HaloLabel.h"
#include "annotate/PaintGeometry.h"
#include "annotate/TPaintObjects.h"
#include "annotate/TextPictures.h"
#include "platform/ScreenCapture.h"

#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tern {

class OutputView;

// A frame event: `Button` is the hit zone of (x, y) for left-button events and -1 for a right press.
using TFrameEvent = std::function<void(std::int32_t Button, std::int32_t x, std::int32_t y)>;

// The annotation editor: freezes the whole virtual desktop when created, shows it dimmed with the
// selection at full brightness, the annotations clipped to the selection and the selection frame,
// and turns mouse events into frame events. It knows no tools or modes; a descendant gives it its
// bounds (desktopGeometry()) and its interaction. Where a window can cover one output only, the form
// is the primary output's full-screen window and an OutputView shows each other output's part; the
// client coordinates stay those of the whole frozen desktop. GUI thread only.
//
// Repaints are limited to what changed: the widget is never erased, and every paint composes only
// its region straight from the frozen picture, which keeps the pixel format of the screen and is
// darkened as it is copied. Besides the window's own buffer the form holds at most two pictures of
// the desktop's size: the frozen desktop and the underlay, which covers the selection only.
class TPaintForm : public QWidget
{
    Q_OBJECT

public:
    // Supplies the hint shown while nothing is selected (UTF-8); asked when the hint is first drawn.
    using HintText = std::function<std::string()>;

    // Grabs every screen once through `capture`, which is not used afterwards.
    TPaintForm(platform::ScreenCapture& capture, HintText hintText, QWidget* parent = nullptr);
    ~TPaintForm() override;

    // The virtual desktop the frozen picture covers: client (0, 0) is its top-left corner.
    QRect desktopGeometry() const { return m_desktop; }
    // Whether the selector covers each output with a full-screen window of its own instead of one
    // window over the whole virtual desktop: so where a program cannot place its windows (Wayland).
    static bool CoversOutputsOneByOne();
    // Shows the form full screen on the primary output and an OutputView full screen on every other
    // output the frozen picture covers.
    void ShowOnEachOutput();
    // The client point shown at the form's top-left corner: (0, 0) where it covers the whole desktop.
    QPoint viewOrigin() const { return m_viewOrigin; }

    // Repaints `area` (client coordinates) on every window that shows part of it.
    void Repaint(const QRegion& area);
    void RepaintAll();
    // The pointer's shape over the form and its output views.
    void SetPointerShape(Qt::CursorShape shape);

    // One of the output views took the keyboard.
    virtual void OutputViewActivated(QWidget& /*view*/) {}

    // Pointer input in client coordinates, from the form's own events and its output views'.
    void PointerPressed(Qt::MouseButton button, QPoint at);
    void PointerMoved(QPoint at);
    void PointerReleased(Qt::MouseButton button, QPoint at);

    // Drops an empty newest annotation, then appends a new one in the current colour.
    TPaintObject& AddObject();
    // The newest annotation or nullptr.
    TPaintObject* LastObject() const { return Objects.Last(); }

    // Normalizes and stores; repaints the changed area only when the value changes.
    void SetSelection(const TRect& r);
    void SetFrameMode(bool value);
    // Store the index; nothing is repainted and existing annotations keep their look.
    void SetCurColor(std::int32_t value) { CurColor = value; }
    void SetCurLine(std::int32_t value) { CurLine = value; }
    void SetCurFont(std::int32_t value) { CurFont = value; }
    // The palette colour of CurColor; 0 (invisible) outside 0..2.
    std::uint32_t CurrentARGB() const { return PaletteColor(CurColor); }

    // The zone of (x, y) against `r`; 0 everywhere while FrameMode is false.
    std::int32_t HitTest(const TRect& r, std::int32_t x, std::int32_t y) const;

    // Build one whole frame in BackBuffer: the picture (Final: no dimming, no caret, transparent
    // outside the selection), then the selection frame. BackBuffer is a picture of the desktop's
    // size made for this; the form's own painting never uses it.
    void Compose(bool Final);
    void DrawFrame();

    // The selected part of the frozen desktop with every annotation drawn final; a null image for a
    // selection without area. Owned by the form, valid until the next call. The underlay is dropped
    // first, so that the result never adds to the pictures alive. After ReleaseFrames, the picture
    // made last.
    const QImage& ResultBitmap();

    // Drops the frozen desktop, the underlay, BackBuffer, the window's buffer and the output views,
    // and hands the freed memory back to the system; ResultBmp stays. For a form that is done: it
    // shows nothing after.
    void ReleaseFrames();

    // Brings Underlay up to date: the frozen desktop under the selection with every annotation but
    // the newest drawn on it. Live pictures take the older annotations from it and draw only the
    // newest one, so dragged shapes, typed text and repaints cost a copy plus one annotation. It is
    // rebuilt in place, also by the paint handler, whenever an annotation was added or removed or the
    // selection moved; annotations other than the newest are not to be changed in place.
    void SaveUnderlay();
    // Wipes the newest annotation's previous showing: its old area is repainted from the underlay.
    void RestoreUnderlay();
    // Shows `object` (the newest annotation, drawn not final) at once, without a full repaint: its
    // old and new areas inside the selection are repainted.
    void PaintOnWindow(const TPaintObject& object);

    // Paints the window picture of `region` (client coordinates) onto `painter`: what the paint
    // handler does, open for measurements.
    void PaintRegion(QPainter& painter, const QRegion& region);

    TPaintObjects Objects;
    QImage BackBuffer;
    QImage CleanShot;
    TRect Selection;
    bool FrameMode = true;
    TFrameEvent OnFrameUp;
    TFrameEvent OnFrameMove;
    TFrameEvent OnFrameDown;
    std::int32_t CurColor = 0;
    std::int32_t CurLine = 0;
    std::int32_t CurFont = 0;
    QImage ResultBmp;
    // The selection's part of the frozen desktop with the older annotations; see SaveUnderlay.
    QImage Underlay;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintPicture(QPainter& painter, const QRegion& region, bool Final);
    void paintOverlays(QPainter& painter, const QRegion& region);
    bool refreshUnderlay();
    // No area: the hint shows instead of the frame.
    bool hintShown() const { return Selection.width() == 0 || Selection.height() == 0; }
    QRect selectionRect() const;
    QString hintText();
    void raise(const TFrameEvent& handler, std::int32_t button, std::int32_t x, std::int32_t y);

    QRect m_desktop;
    QPoint m_viewOrigin;
    // Deleted later, never at once: a view's own event may be what ends the run.
    std::vector<QPointer<OutputView>> m_views;
    HintText m_hintSource;
    QString m_hint;
    bool m_hintFetched = false;
    HaloLabel m_sizeLabel;
    HaloLabel m_hintLabel;
    TextPictures m_textPictures;
    // The revision of Objects and the selection the underlay was drawn for.
    std::uint64_t m_underlayRevision = 0;
    QRect m_underlayArea;
    bool m_underlayValid = false;
    // Where the newest annotation was last shown by PaintOnWindow.
    QRect m_liveArea;
};

} // namespace tern
