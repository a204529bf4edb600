#pragma once

#include "platform/WindowFocus.h"

#include <QDialog>

#include <memory>

class QListWidgetItem;
class QShowEvent;

namespace Ui {
class TfSelectLang;
}

namespace tern {

class DialogContext;
class TLangModule;

// The language selection: lists the languages of the language module and makes each one the user
// clicks current at once, re-translating the dialog so that it shows the chosen language. Closing
// with Esc keeps the language clicked last. GUI thread only.
class TfSelectLang : public QDialog
{
    Q_OBJECT

public:
    TfSelectLang(DialogContext& context, TLangModule& languages, platform::WindowFocus& focus,
                 QWidget* parent = nullptr);
    ~TfSelectLang() override;

    // Lists the languages with the current one selected and runs the dialog modally inside
    // EnterModal/LeaveModal; true when it was closed with OK.
    bool ExecuteSelect();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void lcbClick(int row);

    DialogContext& m_context;
    TLangModule& m_languages;
    platform::WindowFocus& m_focus;
    std::unique_ptr<Ui::TfSelectLang> m_ui;
    bool m_filling = false;
};

} // namespace tern
