#pragma once

#include "annotate/PaintSurface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tern {

class TPaintObjects;

// One point of an annotation, in the selector's client pixels (origin: the virtual desktop's
// top-left corner).
struct TPointItem
{
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const TPointItem&) const = default;
};

// What an annotation is; the same numbers name the palette's tools (0 is the Move tool).
enum class TPaintKind : std::int32_t {
    pkNone = 0,
    pkFreehand = 1,
    pkText = 2,
    pkLine = 3,
    pkRect = 4,
    pkArrow = 5,
    pkEllipse = 6,
};

// The kind that palette tool number `tool` draws: pkNone (the Move tool) for 0 and for any number
// outside the palette's 0..6.
TPaintKind PaintKindOfTool(int tool) noexcept;

// The longest stroke or shape diagonal that still counts as drawn by accident.
inline constexpr double kEmptyStrokeLength = 5.0;

// One annotation: its kind, its points, its text and how it looks. Plain data that the editor
// fills in directly; GUI thread only.
class TPaintObject
{
public:
    TPaintObject() = default;
    TPaintObject(const TPaintObject&) = delete;
    TPaintObject& operator=(const TPaintObject&) = delete;

    // Too small or blank to keep: a freehand path or shape diagonal of at most 5 pixels, a text of
    // nothing but spaces and control characters, or any kind that draws nothing.
    bool IsEmpty() const;

    // Renders onto `surface` with the caller's clip. A non-final drawing of the newest text
    // annotation shows the caret "|" when CaretOn is set and then flips CaretOn; nothing else
    // changes. `Final` pictures never show the caret.
    void Draw(PaintSurface& surface, bool Final);

    // Move every point; coordinates saturate at the ends of the 32-bit range instead of wrapping.
    void OffsetX(std::int32_t dx);
    void OffsetY(std::int32_t dy);

    // Drops every point but the first.
    void KeepFirstPoint();

    void AddPoint(std::int32_t x, std::int32_t y) { Points.push_back({x, y}); }

    // True when this is the last item of the collection it belongs to.
    bool isNewest() const;

    // The text a drawing shows now, with the caret when a non-final drawing would show it.
    std::u16string shownText(bool Final) const;

    TPaintKind Kind = TPaintKind::pkNone;
    std::vector<TPointItem> Points;
    std::u16string Text;
    bool CaretOn = false;
    std::uint32_t Color = 0;
    std::int32_t SizeIndex = 0;

private:
    friend class TPaintObjects;
    const TPaintObjects* m_collection = nullptr;
};

} // namespace tern
