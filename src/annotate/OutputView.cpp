#include "annotate/OutputView.h"

#include "annotate/TPaintForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

namespace tern {

OutputView::OutputView(TPaintForm& form, QScreen* screen, QPoint origin) : m_form(form), m_origin(origin)
{
    setObjectName(QStringLiteral("fClipOutput"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // Every paint covers its whole region, as the form's own do.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    // The native window is made on its output: the compositor puts a full-screen window on the
    // output it was made for.
    setScreen(screen);
    winId();
    if (QWindow* window = windowHandle())
        window->setScreen(screen);
}

void OutputView::Release()
{
    hide();
    if (testAttribute(Qt::WA_WState_Created))
        destroy();
}

void OutputView::paintEvent(QPaintEvent* event)
{
    try {
        QPainter painter(this);
        painter.translate(-m_origin);
        m_form.PaintRegion(painter, event->region().translated(m_origin));
    } catch (...) {
        // A failed paint leaves the old picture; the next one tries again.
    }
}

void OutputView::mousePressEvent(QMouseEvent* event)
{
    m_form.PointerPressed(event->button(), event->position().toPoint() + m_origin);
}

void OutputView::mouseMoveEvent(QMouseEvent* event)
{
    m_form.PointerMoved(event->position().toPoint() + m_origin);
}

void OutputView::mouseReleaseEvent(QMouseEvent* event)
{
    m_form.PointerReleased(event->button(), event->position().toPoint() + m_origin);
}

void OutputView::keyPressEvent(QKeyEvent* event)
{
    QCoreApplication::sendEvent(&m_form, event);
}

void OutputView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_form.OutputViewActivated(*this);
}

void OutputView::closeEvent(QCloseEvent* event)
{
    // The form ends the run and takes its views down; this one only goes with them.
    event->ignore();
    m_form.close();
}

} // namespace tern
