// A program of its own for desktop tests: a window that, on Ctrl+C, puts on the clipboard only types of
// its own and no plain text. Arguments: pairs of MIME type and file; each type offers the file's bytes.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QWidget>

#include <utility>
#include <vector>

namespace {

class OfferWindow final : public QWidget
{
public:
    explicit OfferWindow(std::vector<std::pair<QString, QByteArray>> types) : m_types(std::move(types)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            auto* offered = new QMimeData;
            for (const auto& [type, bytes] : m_types)
                offered->setData(type, bytes);
            QGuiApplication::clipboard()->setMimeData(offered, QClipboard::Clipboard);
            return;
        }
        QWidget::keyPressEvent(event);
    }

private:
    std::vector<std::pair<QString, QByteArray>> m_types;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 3 || argc % 2 == 0)
        return 2;
    std::vector<std::pair<QString, QByteArray>> types;
    for (int i = 1; i + 1 < argc; i += 2) {
        QFile file(QString::fromLocal8Bit(argv[i + 1]));
        if (!file.open(QIODevice::ReadOnly))
            return 2;
        types.emplace_back(QString::fromLatin1(argv[i]), file.readAll());
    }
    OfferWindow window(std::move(types));
    window.setWindowTitle(QStringLiteral("tern-test-offer"));
    window.resize(400, 80);
    window.show();
    return QApplication::exec();
}
