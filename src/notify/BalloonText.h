#pragma once

#include <QLabel>

namespace tern {

// The balloon's message: plain text whose lines stand apart at the font's normal line spacing (a
// fifth of the font's height between lines at least, where the face itself leaves less), sized to
// exactly its lines. text() is the message as it was given.
class BalloonText final : public QLabel
{
public:
    explicit BalloonText(QWidget* parent);

    // The distance from one line's top to the next one's.
    int lineStep() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tern
