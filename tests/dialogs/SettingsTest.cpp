#include "config/ui/Settings.h"

#include "LoaderOverFakes.h"

#include "config/ui/HotkeyEdit.h"
#include "platform/ShellRoutines.h"
#include "ui/LinkLabel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace tern {
namespace {

using test::LoaderOverFakes;

// A listener that counts the tray's dialog-state switches.
struct ModalCounter final : ModalStateListener
{
    void EnterModalState() override { ++entered; }
    void LeaveModalState() override { ++left; }
    int entered = 0;
    int left = 0;
};

class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { loader().setModalStateListener(&modal); }

    TLoader& loader() { return m_fakes.loader(); }
    TConfStore& conf() { return loader().conf(); }
    std::string stored(const char* section, const char* name)
    {
        const auto value = m_fakes.settings.value(section, name);
        return value ? *value : "<none>";
    }

    // Runs Execute with `whileOpen` called once the dialog is shown (it must close the dialog).
    bool execute(TfSettings& dialog, const std::function<void(TfSettings&)>& whileOpen)
    {
        bool ran = false;
        QTimer::singleShot(0, &dialog, [&] {
            ran = true;
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(loader().ModalCount(), 1);
            whileOpen(dialog);
            if (dialog.isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                dialog.reject();
            }
        });
        const bool accepted = dialog.Execute();
        EXPECT_TRUE(ran);
        return accepted;
    }

    template <typename Widget> static Widget* child(TfSettings& dialog, const char* name)
    {
        auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static THotkeyEdit* hotkey(TfSettings& dialog) { return child<THotkeyEdit>(dialog, "e1"); }
    static QCheckBox* box(TfSettings& dialog, const char* name) { return child<QCheckBox>(dialog, name); }
    static void press(TfSettings& dialog, const char* name) { child<QPushButton>(dialog, name)->click(); }
    static void type(QWidget* target, int key, Qt::KeyboardModifiers modifiers)
    {
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(target, &up);
    }
    static void click(QWidget* target)
    {
        const QPointF inside(2, 2);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, inside, target->mapToGlobal(inside), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(target, &event);
        }
    }

    LoaderOverFakes m_fakes;
    ModalCounter modal;
};

TEST_F(SettingsTest, ShowsTheTranslatedFormWithTheStoredValues)
{
    conf().Apply({.MainKey = 0x4041});
    conf().Apply({.CheckUpdates = false});
    conf().Apply({.DisableRemote = true});
    conf().Apply({.StartWithWindows = false});
    TfSettings dialog(loader(), conf());
    execute(dialog, [&](TfSettings& open) {
        EXPECT_EQ(open.windowTitle().toStdString(), "Tern Clipboard - Settings");
        EXPECT_EQ(child<QLabel>(open, "Label2")->text().toStdString(), "Hotkey:");
        EXPECT_EQ(box(open, "c0")->text().toStdString(), "Hide Remote Copy and Remote Paste");
        EXPECT_EQ(box(open, "c1")->text().toStdString(), "Start when I log in");
        EXPECT_EQ(box(open, "c2")->text().toStdString(), "Check for updates at start");
        EXPECT_EQ(child<QPushButton>(open, "Button1")->text().toStdString(), "OK");
        EXPECT_EQ(child<QPushButton>(open, "Button2")->text().toStdString(), "Cancel");
        EXPECT_EQ(child<QPushButton>(open, "Button3")->text().toStdString(), "Account...");
        EXPECT_EQ(child<QPushButton>(open, "Button4")->text().toStdString(), "Language...");
        EXPECT_EQ(child<QLabel>(open, "Label1")->text().toStdString(), "Add/Modify Language");
        EXPECT_TRUE(child<QPushButton>(open, "Button1")->isDefault());
        EXPECT_EQ(child<QPushButton>(open, "Button5")->text().toStdString(), "End-to-End Key...");
        EXPECT_EQ(open.size(), QSize(384, 287));

        EXPECT_EQ(hotkey(open)->shortcut(), 0x4041);
        EXPECT_EQ(hotkey(open)->text().toStdString(), "Ctrl+A");
        EXPECT_FALSE(box(open, "c2")->isChecked());
        EXPECT_TRUE(box(open, "c0")->isChecked());
        EXPECT_FALSE(box(open, "c1")->isChecked());

        if (const char* artifacts = std::getenv("TERN_ARTIFACTS_DIR"))
            open.grab().save(QString::fromLocal8Bit(artifacts) + QStringLiteral("/settings-dialog.png"));
        open.reject();
    });
    EXPECT_EQ(loader().ModalCount(), 0);
    EXPECT_EQ(modal.entered, 1);
    EXPECT_EQ(modal.left, 1);
}

TEST_F(SettingsTest, OkStoresAndSavesTheFourValuesAndCancelLeavesThem)
{
    conf().Apply({.MainKey = 0x4041});
    conf().Apply({.CheckUpdates = false});
    conf().Apply({.DisableRemote = true});
    const auto change = [&](TfSettings& open) {
        type(hotkey(open), Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);
        box(open, "c2")->setChecked(true);
        box(open, "c0")->setChecked(false);
    };

    const int commits = m_fakes.settings.commitCount;
    {
        TfSettings dialog(loader(), conf());
        EXPECT_FALSE(execute(dialog, [&](TfSettings& open) {
            change(open);
            press(open, "Button2");
        }));
    }
    EXPECT_EQ(conf().MainKey, 0x4041);
    EXPECT_FALSE(conf().CheckUpdates);
    EXPECT_TRUE(conf().DisableRemote);
    EXPECT_EQ(m_fakes.settings.commitCount, commits);

    {
        // Esc typed in the hotkey field cancels too.
        TfSettings dialog(loader(), conf());
        EXPECT_FALSE(execute(dialog, [&](TfSettings& open) {
            change(open);
            type(hotkey(open), Qt::Key_Escape, Qt::NoModifier);
        }));
    }
    EXPECT_EQ(conf().MainKey, 0x4041);
    EXPECT_EQ(m_fakes.settings.commitCount, commits);

    {
        TfSettings dialog(loader(), conf());
        EXPECT_TRUE(execute(dialog, [&](TfSettings& open) {
            change(open);
            press(open, "Button1");
        }));
    }
    EXPECT_EQ(conf().MainKey, 0x6059);
    EXPECT_TRUE(conf().CheckUpdates);
    EXPECT_FALSE(conf().DisableRemote);
    EXPECT_EQ(m_fakes.settings.commitCount, commits + 1);
    EXPECT_EQ(stored("HotKeys", "MainKey"), "24665");
    EXPECT_EQ(stored("Main", "CheckUpdates"), "1");
    EXPECT_EQ(stored("Main", "DisableRemote"), "0");

    {
        // Enter typed in the hotkey field closes with OK; a letter typed with Shift became Alt+letter.
        TfSettings dialog(loader(), conf());
        EXPECT_TRUE(execute(dialog, [&](TfSettings& open) {
            type(hotkey(open), Qt::Key_K, Qt::ShiftModifier);
            type(hotkey(open), Qt::Key_Return, Qt::NoModifier);
        }));
    }
    EXPECT_EQ(conf().MainKey, 0x804B);
    EXPECT_EQ(stored("HotKeys", "MainKey"), "32843");
    EXPECT_EQ(m_fakes.settings.commitCount, commits + 2);
    EXPECT_EQ(modal.entered, 4);
    EXPECT_EQ(modal.left, 4);
}

TEST_F(SettingsTest, OkCreatesAndRemovesTheStartupEntry)
{
    const auto setStartup = [&](bool on) {
        TfSettings dialog(loader(), conf());
        return execute(dialog, [&](TfSettings& open) {
            box(open, "c1")->setChecked(on);
            press(open, "Button1");
        });
    };
    ASSERT_FALSE(StartupShortcutExists(m_fakes.shell, "Tern Clipboard"));

    EXPECT_TRUE(setStartup(true));
    EXPECT_TRUE(conf().StartWithWindows);
    EXPECT_TRUE(StartupShortcutExists(m_fakes.shell, "Tern Clipboard"));
    EXPECT_EQ(m_fakes.shell.startupEntriesWritten, 1);

    // Unchanged: the entry stays as it is.
    EXPECT_TRUE(setStartup(true));
    EXPECT_EQ(m_fakes.shell.startupEntriesWritten, 1);

    EXPECT_TRUE(setStartup(false));
    EXPECT_FALSE(conf().StartWithWindows);
    EXPECT_FALSE(StartupShortcutExists(m_fakes.shell, "Tern Clipboard"));
}

TEST_F(SettingsTest, AFailedSaveReachesTheCallerAfterTheModalStateEnded)
{
    m_fakes.shell.folders.erase(platform::SpecialFolder::Startup); // no place for a start-up entry
    TfSettings dialog(loader(), conf());
    EXPECT_ANY_THROW(execute(dialog, [&](TfSettings& open) {
        box(open, "c1")->setChecked(true);
        press(open, "Button1");
    }));
    EXPECT_EQ(loader().ModalCount(), 0);
    EXPECT_EQ(modal.left, 1);
}

TEST_F(SettingsTest, ButtonsAndLinkRunTheActionsTheTraySet)
{
    std::string log;
    TfSettings dialog(loader(), conf());
    dialog.setLoginAction([&] { log += "login;"; });
    dialog.setKeyAction([&] { log += "key;"; });
    dialog.setLanguageActions([&] { log += "select;"; }, [&] { log += "edit;"; });
    execute(dialog, [&](TfSettings& open) {
        press(open, "Button3");
        press(open, "Button5");
        press(open, "Button4");
        click(child<TLinkLabel>(open, "Label1"));
        EXPECT_TRUE(open.isVisible());
        open.reject();
    });
    EXPECT_EQ(log, "login;key;select;edit;");

    // An action's error is shown, not thrown out of the click.
    dialog.setLoginAction([] { throw std::runtime_error("The account dialog failed"); });
    press(dialog, "Button3");
    ASSERT_EQ(m_fakes.messageTexts().size(), 1u);
    EXPECT_EQ(m_fakes.messageTexts()[0], "The account dialog failed");
    // Without actions the buttons do nothing.
    TfSettings bare(loader(), conf());
    press(bare, "Button3");
    press(bare, "Button4");
    click(child<TLinkLabel>(bare, "Label1"));
    EXPECT_EQ(m_fakes.messageTexts().size(), 1u);
}

} // namespace
} // namespace tern
