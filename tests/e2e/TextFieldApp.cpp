// A one-line text field for desktop tests: starts with the text of its first argument selected and
// writes its text to the file named by its second argument whenever the text changes.
#include <QApplication>
#include <QFile>
#include <QLineEdit>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 3)
        return 2;
    const QString output = QString::fromLocal8Bit(argv[2]);
    QLineEdit field(QString::fromUtf8(argv[1]));
    field.setWindowTitle(QStringLiteral("tern-test-field"));
    field.resize(400, 40);
    QObject::connect(&field, &QLineEdit::textChanged, [&output](const QString& text) {
        QFile file(output);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(text.toUtf8());
    });
    field.show();
    field.selectAll();
    return QApplication::exec();
}
