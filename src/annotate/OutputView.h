#pragma once

#include <QPoint>
#include <QWidget>

class QScreen;

namespace tern {

class TPaintForm;

// One output's share of the area selector where a window can cover one output only (Wayland): a
// full-screen window on that output that shows the form's picture of it, and hands the pointer and
// the keys to the form in the form's client coordinates. The form paints and decides everything;
// the view holds no state of the selection. GUI thread only.
class OutputView final : public QWidget
{
public:
    // `origin` is the form's client point shown at the view's top-left corner.
    OutputView(TPaintForm& form, QScreen* screen, QPoint origin);

    QPoint origin() const { return m_origin; }
    // Hides the view and frees its window and the window's buffer, which is as large as the output.
    void Release();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Closing one output's view (the compositor's close binding) cancels as the form's own would.
    void closeEvent(QCloseEvent* event) override;

private:
    TPaintForm& m_form;
    QPoint m_origin;
};

} // namespace tern
