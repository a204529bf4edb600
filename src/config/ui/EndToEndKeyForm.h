#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class TfEndToEndKey;
}

namespace tern {

class DialogContext;
class TConfStore;

// The end-to-end key dialog: says whether this computer keeps a key (never which one), sets a new
// key typed twice in masked fields, or clears the kept one. The store changes, and is saved, only
// when Set Key accepts the fields or Clear Key is pressed; a refused entry keeps the dialog open with
// a message. Created, executed once and freed by its caller; GUI thread only.
class TfEndToEndKey : public QDialog
{
    Q_OBJECT

public:
    TfEndToEndKey(DialogContext& context, TConfStore& conf, QWidget* parent = nullptr);
    ~TfEndToEndKey() override;

    // Translates the dialog and shows it modally inside the modal bracket. True when it closed having
    // set or cleared the key. An error of the save reaches the caller after the bracket has closed.
    bool Execute();

private:
    void setClicked();
    void clearClicked();
    // Applies `passphrase` (empty: none) and saves the store, then closes the dialog.
    void store(std::string passphrase);
    void showMessage(const std::string& text);

    DialogContext& m_context;
    TConfStore& m_conf;
    std::unique_ptr<Ui::TfEndToEndKey> m_ui;
};

} // namespace tern
