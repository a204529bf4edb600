#pragma once

#include "annotate/SelectionRules.h"
#include "annotate/TPaintForm.h"
#include "annotate/ToolBoxTarget.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>

#include <cstdint>

namespace tern {

class AnnotateContext;
class TfToolBox;

// The area selector of Annotate & Share Area: a borderless full-screen form over the frozen virtual
// desktop on which the user drags out a selection, adjusts or moves it by its handles, draws
// annotations in it with the tools of its palette, and confirms with the palette's upload button or
// cancels with Esc. Lives for one command; the whole life is one modal bracket of its context.
// GUI thread only.
class TfClip : public TPaintForm, public ToolBoxTarget
{
    Q_OBJECT

public:
    // The results of Execute.
    static constexpr int kConfirmed = 1;
    static constexpr int kCancelled = 2;

    // Freezes the desktop through the context's screen capture and creates the palette.
    explicit TfClip(AnnotateContext& context);
    ~TfClip() override;

    // Marks the current colour, font size and pen width on the palette and shows the selector; it
    // stays until the user confirms or cancels, and then hides and emits finished() with kConfirmed
    // (ResultBitmap then holds the picture) or kCancelled. Confirming without a selected area counts
    // as cancelling. Returns at once: the run is driven by the event loop.
    void Execute();

    // Size indices outside 0..2 (settings are not range-checked) are taken as the nearest valid one.
    void SetCurFont(int index) override;
    void SetCurLine(int index) override;
    void SetCurColor(int index) override { TPaintForm::SetCurColor(index); }

    void SetTool(int tool) override;
    void Undo() override;
    void Confirm() override;
    void ForwardKey(QKeyEvent* event) override { keyPressEvent(event); }
    void PaletteMoved() override { RepaintAll(); }
    void OutputViewActivated(QWidget& view) override { showPalette(view); }

    TfToolBox& ToolBox() const noexcept { return *m_toolBox; }

    // Frame event handlers (zone or -1 for a right press, client x and y).
    void FrameDown(std::int32_t zone, std::int32_t x, std::int32_t y);
    void FrameMove(std::int32_t zone, std::int32_t x, std::int32_t y);
    void FrameUp(std::int32_t zone, std::int32_t x, std::int32_t y);

    bool ButtonDown = false;
    std::int32_t DownZone = 0;
    QPoint Anchor;
    std::int32_t Mode = cmIdle;
    TPaintKind Tool = TPaintKind::pkNone;
    // 0 while the selector runs; then kConfirmed or kCancelled.
    int ModalResult = 0;

signals:
    // The run of Execute ended with `result`, kConfirmed or kCancelled; emitted once per run.
    void finished(int result);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The window manager raises the selector when it becomes active (at its start and at a click on
    // it); the palette, its transient tool window, goes back above it each time.
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TfClip(AnnotateContext& context, QElapsedTimer started);

    void FormCreate();
    void curTimerTimer();
    void endRun(int result);
    bool moveNewest(int key, bool shift);
    void typeIntoNewest(QKeyEvent* event);
    void setCursorForZone(std::int32_t zone);
    // Shows the palette once, above `over`, the window that has the keyboard.
    void showPalette(QWidget& over);

    AnnotateContext& m_context;
    TfToolBox* m_toolBox = nullptr;
    QTimer m_curTimer;
    bool m_running = false;
    QElapsedTimer m_started;
    bool m_firstFrameShown = false;
    bool m_paletteShown = false;
    bool m_paletteRemapped = false;
    std::int32_t m_cursorZone = -1;
};

} // namespace tern
