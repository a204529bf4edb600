#pragma once

#include <QLabel>

namespace tern {

// A label that looks and acts like a link: blue, underlined, a hand cursor, and a click signal.
// Its text stays plain text, so form translation reads and writes it like any caption.
class TLinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TLinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace tern
