#include "ui/About.h"

#include "platform/ShellRoutines.h"
#include "ui/AboutLogo.h"
#include "ui/DialogContext.h"
#include "ui/DialogFrame.h"
#include "ui_About.h"
#include "util/ProductName.h"
#include "util/ProgramVersion.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStringList>

namespace tern {

namespace {

constexpr int kLogoSize = 64;
constexpr int kLogoTop = 15;

} // namespace

TfAboutFrm::TfAboutFrm(DialogContext& context, const std::string& serviceHost, platform::DesktopShell& shell,
                       QWidget* parent)
    : QDialog(parent), m_context(context), m_shell(shell), m_ui(std::make_unique<Ui::TfAboutFrm>())
{
    m_ui->setupUi(this);
    SetFixedDialogFrame(*this);
    setFixedSize(338, 254);
    // The link's hint is the address it opens: the product's site on the service host.
    m_ui->Label3->setToolTip(QString::fromStdString(serviceHost + "/"));
    connect(m_ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->Label3, &TLinkLabel::clicked, this, &TfAboutFrm::label3Click);

    m_context.TranslateForm(this);
    m_ui->l1->setText(versionCaption(QString::fromLatin1(kProgramVersion)));
}

TfAboutFrm::~TfAboutFrm() = default;

QString TfAboutFrm::versionCaption(const QString& fileVersion)
{
    const QStringList parts = fileVersion.split(QLatin1Char('.'));
    const auto part = [&parts](qsizetype index) { return index < parts.size() ? parts[index].toInt() : 0; };
    return QStringLiteral("%1 %2.%3:%4")
        .arg(QString::fromUtf8(kProductName))
        .arg(part(0))
        .arg(part(1))
        .arg(part(3));
}

void TfAboutFrm::label3Click()
{
    OpenTarget(m_shell, &m_context.messageBoxes(), m_ui->Label3->toolTip().toStdString(), true);
}

void TfAboutFrm::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    const QPixmap logo = ProductLogo().pixmap(kLogoSize, kLogoSize);
    if (logo.isNull())
        return;
    // Centred on the window's outer width, frame included.
    QPainter painter(this);
    painter.drawPixmap(frameGeometry().width() / 2 - kLogoSize / 2, kLogoTop, logo);
}

// Ok is also the cancel button: Esc closes with the OK result.
void TfAboutFrm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace tern
