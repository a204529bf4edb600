#pragma once

#include <QKeyEvent>
#include <QWindow>

#include <vector>

namespace tern::test {

// A plain top-level window that records the key events it receives.
class FocusTestWindow : public QWindow
{
public:
    struct Key
    {
        bool press;
        int key;
        Qt::KeyboardModifiers modifiers;
    };

    explicit FocusTestWindow(const QString& title)
    {
        setTitle(title);
        setGeometry(100, 100, 240, 160);
    }

    std::vector<Key> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        keys.push_back({true, event->key(), event->modifiers()});
    }
    void keyReleaseEvent(QKeyEvent* event) override
    {
        keys.push_back({false, event->key(), event->modifiers()});
    }
};

} // namespace tern::test
