#pragma once

#include "platform/DesktopShell.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <string>

namespace Ui {
class TfAboutFrm;
}

namespace tern {

class DialogContext;

// The about box: product name and running version, the logo, a notice line and a link to the
// home page on the service host. The caller brackets it with the context's EnterModal/LeaveModal,
// runs it modally and frees it. GUI thread only.
class TfAboutFrm : public QDialog
{
    Q_OBJECT

public:
    // `serviceHost` is the address whose home page the link opens; `shell` opens it.
    TfAboutFrm(DialogContext& context, const std::string& serviceHost, platform::DesktopShell& shell,
               QWidget* parent = nullptr);
    ~TfAboutFrm() override;

    // "Tern Clipboard <major>.<minor>:<build>" for a file version "a.b.c.d" (the third part is not
    // shown): "1.3.1.22" reads "Tern Clipboard 1.3:22". Missing or unreadable parts count as 0.
    static QString versionCaption(const QString& fileVersion);

public slots:
    void label3Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DialogContext& m_context;
    platform::DesktopShell& m_shell;
    std::unique_ptr<Ui::TfAboutFrm> m_ui;
};

} // namespace tern
