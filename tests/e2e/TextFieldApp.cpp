// A text field for desktop tests. It starts with the text of its first argument selected and writes
// its text to the file named by its second argument whenever the text changes. A first argument that
// begins with "<" is HTML: the field is then a rich-text editor, whose copy offers HTML and plain text.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTextEdit>

namespace {

void writeText(const QString& path, const QString& text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text.toUtf8());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const QString initial = QString::fromUtf8(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    QWidget* field = nullptr;
    if (initial.startsWith(QLatin1Char('<'))) {
        auto* editor = new QTextEdit;
        editor->setHtml(initial);
        editor->selectAll();
        QObject::connect(editor, &QTextEdit::textChanged,
                         [editor, output] { writeText(output, editor->toPlainText()); });
        field = editor;
    } else {
        auto* line = new QLineEdit(initial);
        line->selectAll();
        QObject::connect(line, &QLineEdit::textChanged,
                         [output](const QString& text) { writeText(output, text); });
        field = line;
    }
    field->setWindowTitle(QStringLiteral("tern-test-field"));
    field->resize(400, 80);
    field->show();
    const int status = QApplication::exec();
    delete field;
    return status;
}
