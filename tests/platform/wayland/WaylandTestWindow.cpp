// A window of ours on the toolkit's Wayland platform for the platform tests: a text field holding
// "start" that reports on its standard output when it gains and loses the focus ("focus", "blur"), each
// new text ("text:"
// and the text) and each new selection ("selected:" and the selected text), or, given a colour, a surface of
// that colour alone that reports "painted" once drawn.
//   tern_wayland_test_window TITLE [#RRGGBB]
#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

#include <cstdio>

namespace {

void report(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

class ReportingField : public QLineEdit
{
protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QLineEdit::focusInEvent(event);
        report(QStringLiteral("focus"));
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        report(QStringLiteral("blur"));
    }
};

class ColourSurface : public QWidget
{
protected:
    void paintEvent(QPaintEvent* event) override
    {
        QWidget::paintEvent(event);
        if (!m_reported)
            report(QStringLiteral("painted"));
        m_reported = true;
    }

private:
    bool m_reported = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString title = arguments.value(1, QStringLiteral("tern test window"));
    if (arguments.size() > 2) {
        ColourSurface surface;
        surface.setWindowTitle(title);
        QPalette palette = surface.palette();
        palette.setColor(QPalette::Window, QColor(arguments.at(2)));
        surface.setPalette(palette);
        surface.setAutoFillBackground(true);
        surface.resize(400, 300);
        surface.show();
        return QApplication::exec();
    }
    ReportingField field;
    field.setWindowTitle(title);
    field.setText(QStringLiteral("start"));
    QObject::connect(&field, &QLineEdit::textChanged, [](const QString& text) { report("text:" + text); });
    QObject::connect(&field, &QLineEdit::selectionChanged,
                     [&field] { report("selected:" + field.selectedText()); });
    field.resize(400, 60);
    field.show();
    return QApplication::exec();
}
