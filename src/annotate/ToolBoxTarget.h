#pragma once

class QKeyEvent;

namespace tern {

// What the tool palette drives: the selector it floats over. GUI thread only; no call throws.
class ToolBoxTarget
{
public:
    virtual ~ToolBoxTarget() = default;

    // Makes tool `tool` (0 Move, 1..6 the annotation kinds) the current one.
    virtual void SetTool(int tool) = 0;
    // Deletes the newest annotation, if any.
    virtual void Undo() = 0;
    // Index (0..2) of the colour, font size and pen width that new annotations get.
    virtual void SetCurColor(int index) = 0;
    virtual void SetCurFont(int index) = 0;
    virtual void SetCurLine(int index) = 0;
    // Ends the selector's run with the confirmed result.
    virtual void Confirm() = 0;
    // A key pressed while the palette has the focus, handled as if typed on the selector.
    virtual void ForwardKey(QKeyEvent* event) = 0;
    // The palette moved; the selector repaints what it covered.
    virtual void PaletteMoved() = 0;
};

} // namespace tern
