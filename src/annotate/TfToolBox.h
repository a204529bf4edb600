#pragma once

#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <array>

namespace tern {

class TNewButton;
class ToolBoxTarget;

// The tool palette of the area selector: eight tool buttons (freehand, text, line, rectangle, arrow,
// ellipse, Move, Undo), the rows of colour, pen-width and font-size buttons that are shown only for
// the tools they apply to, and the upload button that confirms the selection. A small tool window
// of its own, transient for the selector and kept above it. Every action goes to its target.
// GUI thread only.
class TfToolBox : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kButtonCount = 17;
    static constexpr int kClientWidth = 116;
    // Rows of option buttons.
    static constexpr int kColourRow = 0;
    static constexpr int kWidthRow = 1;
    static constexpr int kFontRow = 2;

    // `uploadCaption` is the upload button's text; `selector` becomes the palette's transient parent.
    TfToolBox(ToolBoxTarget& target, const QString& uploadCaption, QWidget* selector);
    ~TfToolBox() override;

    // Marks button `index` (0..2) of the colour, width or font row; any other index leaves the
    // whole row unmarked.
    void MarkColor(int index);
    void MarkLine(int index);
    void MarkFont(int index);
    // Shows or hides one row (kColourRow, kWidthRow, kFontRow); the colour row also moves the upload
    // button, and the palette's height follows the upload button.
    void SetRowHidden(int row, bool hidden);

    TNewButton* UploadButton() const noexcept { return m_upload; }
    TNewButton* Button(int index) const { return m_buttons.at(static_cast<std::size_t>(index)); }
    // Moves the palette so that its frame stands at `place` (global), and keeps it there once the
    // window manager has framed it.
    void placeFrameAt(const QPoint& place);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    // Remembers where the palette's frame was asked to stand: the window manager adds its frame only
    // after the window is shown, which would push the palette's top up by the title bar's height.
    void showEvent(QShowEvent* event) override;

private:
    // Once the window manager has framed the palette, puts the frame where it was asked to stand.
    void keepPlaceOnceFramed();

    void markInRow(int firstButton, int index);
    void toolClicked(int tool);
    void optionClicked(TNewButton* sender);

    ToolBoxTarget& m_target;
    std::array<TNewButton*, kButtonCount> m_buttons{};
    TNewButton* m_upload = nullptr;
    QPoint m_framePlace;
    // m_framePlace was given by placeFrameAt(): a palette shown again (the selector maps it anew once
    // framed) goes back there, wherever the window manager first puts it.
    bool m_placeAsked = false;
    QDeadlineTimer m_frameDeadline;
    QTimer m_frameWait;
};

} // namespace tern
