#include "config/ui/EndToEndKeyForm.h"

#include "LoaderOverFakes.h"

#include "clipboard/EndToEndKey.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tern {
namespace {

using test::LoaderOverFakes;

constexpr const char* kPassphrase = "correct horse battery";

class EndToEndKeyFormTest : public ::testing::Test
{
protected:
    TLoader& loader() { return m_fakes.loader(); }
    TConfStore& conf() { return loader().conf(); }

    // Runs Execute with `whileOpen` called once the dialog is shown; returns Execute's result.
    bool execute(const std::function<void(TfEndToEndKey&)>& whileOpen)
    {
        TfEndToEndKey dialog(loader(), conf());
        QTimer::singleShot(0, &dialog, [&] {
            EXPECT_EQ(loader().ModalCount(), 1);
            whileOpen(dialog);
            if (dialog.isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                dialog.reject();
            }
        });
        return dialog.Execute();
    }

    template <typename Widget> static Widget* child(TfEndToEndKey& dialog, const char* name)
    {
        auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // Types `first` and `second` into the two fields, replacing what they held, and presses Set Key.
    static void enter(TfEndToEndKey& dialog, const std::string& first, const std::string& second)
    {
        for (const auto& [name, text] : {std::pair{"e1", first}, {"e2", second}}) {
            QLineEdit* field = child<QLineEdit>(dialog, name);
            field->clear();
            QTest::keyClicks(field, QString::fromStdString(text));
        }
        QTest::mouseClick(child<QPushButton>(dialog, "bSet"), Qt::LeftButton);
    }
    static std::string state(TfEndToEndKey& dialog)
    {
        return child<QLabel>(dialog, "lState")->text().toStdString();
    }

    LoaderOverFakes m_fakes;
};

TEST_F(EndToEndKeyFormTest, SetsAKeyOnlyWhenBothFieldsAgreeAndAreLongEnough)
{
    if (!EndToEndKeyAvailable())
        GTEST_SKIP() << kEndToEndKeyUnavailableText;
    const bool accepted = execute([&](TfEndToEndKey& open) {
        EXPECT_EQ(open.windowTitle().toStdString(), "Tern Clipboard - End-to-End Key");
        EXPECT_EQ(state(open), "No end-to-end key is set on this computer.");
        EXPECT_FALSE(child<QPushButton>(open, "bClear")->isEnabled());
        for (const char* name : {"e1", "e2"})
            EXPECT_EQ(child<QLineEdit>(open, name)->echoMode(), QLineEdit::Password) << name;

        // Refused entries keep the dialog open, say why, and leave the store alone.
        const struct
        {
            std::string first, second, message;
        } refused[] = {
            {kPassphrase, "correct horse batterx", "The two keys differ. Type the same key in both fields."},
            {"seven..", "seven..", "The key is too short: use at least 8 characters."},
            {"", "", "The key is too short: use at least 8 characters."},
        };
        for (const auto& entry : refused) {
            const std::size_t shown = m_fakes.messageTexts().size();
            enter(open, entry.first, entry.second);
            EXPECT_TRUE(open.isVisible()) << entry.first;
            ASSERT_EQ(m_fakes.messageTexts().size(), shown + 1) << entry.first;
            EXPECT_EQ(m_fakes.messageTexts().back(), entry.message);
            EXPECT_TRUE(conf().EndToEndKey.empty());
        }
        enter(open, kPassphrase, kPassphrase);
        EXPECT_FALSE(open.isVisible());
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(conf().EndToEndKey, kPassphrase);
    // Saved at once, where the password value is kept.
    const auto stored = m_fakes.settings.value("Main", "EndToEndKey");
    EXPECT_EQ(stored.value_or("<none>"), kPassphrase);
    EXPECT_EQ(loader().ModalCount(), 0);
}

TEST_F(EndToEndKeyFormTest, AKeptKeyIsNamedNeverShownAndClearedByItsButton)
{
    conf().Apply({.EndToEndKey = kPassphrase});
    EXPECT_FALSE(execute([&](TfEndToEndKey& open) {
        EXPECT_EQ(state(open), "An end-to-end key is set on this computer.");
        for (QLineEdit* field : open.findChildren<QLineEdit*>())
            EXPECT_TRUE(field->text().isEmpty()) << field->objectName().toStdString();
        for (QLabel* label : open.findChildren<QLabel*>())
            EXPECT_FALSE(label->text().contains(QString::fromLatin1(kPassphrase)));
        QTest::mouseClick(child<QPushButton>(open, "bCancel"), Qt::LeftButton);
    }));
    EXPECT_EQ(conf().EndToEndKey, kPassphrase);

    EXPECT_TRUE(execute([&](TfEndToEndKey& open) {
        ASSERT_TRUE(child<QPushButton>(open, "bClear")->isEnabled());
        QTest::mouseClick(child<QPushButton>(open, "bClear"), Qt::LeftButton);
    }));
    EXPECT_TRUE(conf().EndToEndKey.empty());
    EXPECT_EQ(m_fakes.settings.value("Main", "EndToEndKey").value_or("<none>"), "");
    EXPECT_TRUE(m_fakes.messageTexts().empty());
}

} // namespace
} // namespace tern
