// Every fixed-size dialog shows every caption whole in every shipped language: no text is wider than
// its control, no control leaves the dialog, no two captions overlap.
#include "DialogScreenshot.h"
#include "LoaderOverFakes.h"
#include "OnModal.h"

#include "config/ui/EndToEndKeyForm.h"
#include "config/ui/Settings.h"
#include "lang/LangModule.h"
#include "lang/ui/LangEditor.h"
#include "lang/ui/SelectLang.h"
#include "ui/About.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tern {
namespace {

using test::LoaderOverFakes;

// What is wrong with the captions of `dialog`, one line each; empty when every one shows whole.
std::vector<std::string> cutCaptions(QDialog& dialog)
{
    std::vector<std::string> faults;
    std::vector<QWidget*> captions;
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QString text;
        int room = child->width();
        int needed = 0;
        if (auto* label = qobject_cast<QLabel*>(child)) {
            text = label->text();
            needed = label->sizeHint().width();
        } else if (auto* button = qobject_cast<QPushButton*>(child)) {
            text = button->text();
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = text;
            room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
            needed = button->fontMetrics().horizontalAdvance(QString(text).remove(QLatin1Char('&')));
        } else if (auto* box = qobject_cast<QCheckBox*>(child)) {
            text = box->text();
            needed = box->sizeHint().width();
        }
        if (text.isEmpty() || child->isHidden())
            continue;
        captions.push_back(child);
        const std::string name = child->objectName().toStdString() + " \"" + text.toStdString() + "\"";
        if (needed > room)
            faults.push_back(name + " needs " + std::to_string(needed) + " px, has " + std::to_string(room));
        if (auto* label = qobject_cast<QLabel*>(child);
            label && label->wordWrap() && label->heightForWidth(label->width()) > label->height())
            faults.push_back(name + " needs more lines than its height holds");
        if (!dialog.rect().contains(child->geometry()))
            faults.push_back(name + " reaches out of the dialog");
    }
    for (size_t a = 0; a < captions.size(); ++a)
        for (size_t b = a + 1; b < captions.size(); ++b)
            if (captions[a]->geometry().intersects(captions[b]->geometry()))
                faults.push_back(captions[a]->objectName().toStdString() + " overlaps " +
                                 captions[b]->objectName().toStdString());
    return faults;
}

std::vector<std::string> shippedLanguages()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(TERN_SOURCE_LANGUAGES_DIR))
        if (entry.path().extension() == ".lng")
            names.push_back(entry.path().filename().string());
    return names;
}

// Checks `dialog` as shown, and saves its picture as "fit-LANGUAGE-NAME.png".
void expectWhole(QDialog& dialog, const std::string& language, const std::string& name)
{
    const std::vector<std::string> faults = cutCaptions(dialog);
    for (const std::string& fault : faults)
        ADD_FAILURE() << language << ", " << name << ": " << fault;
    test::SaveScreenshot(dialog, "fit-" + language.substr(0, language.size() - 4) + "-" + name + ".png");
}

TEST(TextsFit, EveryFixedDialogShowsEveryCaptionWholeInEveryLanguage)
{
    const std::vector<std::string> languages = shippedLanguages();
    ASSERT_GE(languages.size(), 2u);
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        LoaderOverFakes fakes;
        for (const std::string& file : languages)
            std::filesystem::copy_file(std::string(TERN_SOURCE_LANGUAGES_DIR) + "/" + file,
                                       fakes.folder().path() + "/Languages/" + file,
                                       std::filesystem::copy_options::overwrite_existing);
        fakes.settings.values[{"LangModule", "CurrentLanguage"}] = language;
        TLoader& loader = fakes.loader();
        ASSERT_EQ(loader.languages().CurrentFileName(), language);

        TfSettings settings(loader, loader.conf());
        test::OnModal<TfSettings>([&](TfSettings& shown) {
            expectWhole(shown, language, "settings");
            shown.reject();
        });
        settings.Execute();

        TfEndToEndKey key(loader, loader.conf());
        test::OnModal<TfEndToEndKey>([&](TfEndToEndKey& shown) {
            expectWhole(shown, language, "end-to-end-key");
            shown.reject();
        });
        key.Execute();

        TfAboutFrm about(loader, loader.conf().ServiceHost, fakes.shell);
        about.show();
        expectWhole(about, language, "about");
        about.hide();

        TfSelectLang select(loader, loader.languages(), fakes.focus);
        test::OnModal<TfSelectLang>([&](TfSelectLang& shown) {
            expectWhole(shown, language, "select-language");
            shown.reject();
        });
        select.ExecuteSelect();

        TfLangEditor editor(loader, loader.languages());
        test::OnModal<TfLangEditor>([&](TfLangEditor& shown) {
            expectWhole(shown, language, "language-editor");
            shown.reject();
        });
        editor.Execute();
    }
}

} // namespace
} // namespace tern
