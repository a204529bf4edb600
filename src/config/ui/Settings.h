#pragma once

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class TfSettings;
}

namespace tern {

class DialogContext;
class TConfStore;

// The settings dialog: the global hotkey, start at log-in, the automatic update check and hiding
// the remote commands, plus the ways to the account dialog, the end-to-end key dialog, the language
// selection and the language editor. The four values reach the store, and the store is saved, only
// when the dialog closes with OK. Created, executed once and freed by its caller; GUI thread only.
class TfSettings : public QDialog
{
    Q_OBJECT

public:
    TfSettings(DialogContext& context, TConfStore& conf, QWidget* parent = nullptr);
    ~TfSettings() override;

    // Translates the dialog, shows it modally inside the modal bracket and, on OK, stores
    // the controls and saves the store. True when it closed with OK. An error of the save reaches
    // the caller after the modal bracket has been closed.
    bool Execute();

    // What the account button runs (the tray's login action).
    void setLoginAction(std::function<void()> login);
    // What the end-to-end key button runs (the key dialog).
    void setKeyAction(std::function<void()> key);
    // What the Language button and the "Add/Modify Language" link run (the language selection and
    // the language editor, each followed by the re-translation of the tray menus).
    void setLanguageActions(std::function<void()> selectLanguage, std::function<void()> editLanguages);

    // Copy between the store and the controls.
    void LoadControls();
    void StoreControls();

public slots:
    void Button3Click();
    void Button4Click();
    void Label1Click();

private:
    DialogContext& m_context;
    TConfStore& m_conf;
    std::unique_ptr<Ui::TfSettings> m_ui;
    std::function<void()> m_login;
    std::function<void()> m_key;
    std::function<void()> m_selectLanguage;
    std::function<void()> m_editLanguages;
};

} // namespace tern
