#pragma once

#include <QDialog>

#include <memory>

class QListWidgetItem;
class QShowEvent;

namespace Ui {
class TfSelectLang;
}

namespace tern {

class TLoader;

// The language selection: lists the languages of the language module and makes each one the user
// clicks current at once, re-translating the dialog so that it shows the chosen language. Closing
// with Esc keeps the language clicked last. GUI thread only.
class TfSelectLang : public QDialog
{
    Q_OBJECT

public:
    explicit TfSelectLang(TLoader& loader, QWidget* parent = nullptr);
    ~TfSelectLang() override;

    // Lists the languages with the current one selected and runs the dialog modally inside
    // EnterModal/LeaveModal; true when it was closed with OK.
    bool ExecuteSelect();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void lcbClick(int row);

    TLoader& m_loader;
    std::unique_ptr<Ui::TfSelectLang> m_ui;
    bool m_filling = false;
};

} // namespace tern
