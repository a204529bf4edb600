// The tray controller's menus, captions and hotkey over the fake services.
#include "ShellTestSupport.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace tern::test {
namespace {

// The object names of a menu's items in order; "-" for a separator.
std::vector<std::string> Items(const QMenu* menu)
{
    std::vector<std::string> items;
    for (const QAction* action : menu->actions())
        items.push_back(action->isSeparator() ? "-" : action->objectName().toStdString());
    return items;
}

// The [fInit] section of the shipped english.lng, read here independently of the program's reader.
std::map<std::string, std::string> ShippedFormTexts()
{
    std::ifstream file(TERN_SOURCE_LANGUAGES_DIR "/english.lng", std::ios::binary);
    std::map<std::string, std::string> texts;
    std::string line;
    bool inSection = false;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[fInit]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inSection && equals != std::string::npos)
            texts.emplace(line.substr(0, equals), line.substr(equals + 1));
    }
    return texts;
}

TEST(TfInitTest, MenusHoldTheirItemsInOrderWithCaptionsFromTheLanguageFile)
{
    ShellHarness harness;
    TfInit& form = harness.form();

    EXPECT_EQ(Items(form.trayMenu()),
              (std::vector<std::string>{"title", "-", "_aWeb", "_aShareScr", "_aShareArea", "-", "_aLastLink",
                                        "_aHistory", "-", "_aLogin", "_aSettings", "_aKey", "-", "_aCheckUpd",
                                        "_aAbout", "_aExit"}));
    EXPECT_EQ(Items(form.hotkeyMenu()),
              (std::vector<std::string>{"title", "-", "_aCopy", "_aPaste", "-", "_aWeb", "_aShareScr",
                                        "_aShareCurWin", "_aShareArea", "-", "_aLastLink", "_aHistory", "-",
                                        "_aLogin", "_aSettings", "-", "_aCheckUpd", "_aAbout", "_aExit"}));
    for (const QMenu* menu : {form.trayMenu(), form.hotkeyMenu()}) {
        ASSERT_NE(menu->defaultAction(), nullptr);
        EXPECT_EQ(menu->defaultAction(), menu->actions().first()) << "the title is the bold default item";
        EXPECT_EQ(menu->defaultAction()->text(), QStringLiteral("Tern Clipboard"));
    }

    const std::map<std::string, std::string> shipped = ShippedFormTexts();
    for (const char* name :
         {"_aCopy", "_aPaste", "_aWeb", "_aShareScr", "_aShareCurWin", "_aShareArea", "_aLastLink",
          "_aHistory", "_aLogin", "_aSettings", "_aKey", "_aCheckUpd", "_aAbout", "_aHelp", "_aExit"}) {
        const QAction* action = form.action(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        const auto text = shipped.find(std::string(name).substr(1));
        ASSERT_NE(text, shipped.end()) << name << " has no text in english.lng";
        EXPECT_EQ(action->text().toStdString(), text->second) << name;
    }
    // The menus show the actions themselves, so a caption change reaches both.
    EXPECT_TRUE(form.hotkeyMenu()->actions().contains(form.action("_aWeb")));
    EXPECT_TRUE(form.trayMenu()->actions().contains(form.action("_aWeb")));
    // Nothing was shared in this run yet.
    EXPECT_FALSE(form.action("_aLastLink")->isEnabled());
    for (const char* name : {"_aShareScr", "_aShareCurWin", "_aShareArea"})
        EXPECT_TRUE(form.action(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_EQ(form.action("_aWeb")->toolTip(), QStringLiteral("Hold shift to make delayed capture"));
    EXPECT_TRUE(harness.balloons.shown.empty());
    EXPECT_TRUE(harness.messageBoxes.shown.empty());
    EXPECT_EQ(harness.hotkeys.registered, (std::map<int, std::uint16_t>{{1, 24665}}));
}

TEST(TfInitTest, DisableRemoteHidesOnlyRemoteCopyAndPaste)
{
    ShellHarness::Options options;
    options.disableRemote = true;
    ShellHarness harness(options);
    TfInit& form = harness.form();

    const auto visibleItems = [](const QMenu* menu) {
        std::vector<std::string> items;
        for (const QAction* action : menu->actions())
            if (!action->isSeparator() && action->isVisible())
                items.push_back(action->objectName().toStdString());
        return items;
    };
    EXPECT_EQ(visibleItems(form.hotkeyMenu()),
              (std::vector<std::string>{"title", "_aWeb", "_aShareScr", "_aShareCurWin", "_aShareArea",
                                        "_aLastLink", "_aHistory", "_aLogin", "_aSettings", "_aCheckUpd",
                                        "_aAbout", "_aExit"}));
    EXPECT_EQ(
        visibleItems(form.trayMenu()),
        (std::vector<std::string>{"title", "_aWeb", "_aShareScr", "_aShareArea", "_aLastLink", "_aHistory",
                                  "_aLogin", "_aSettings", "_aKey", "_aCheckUpd", "_aAbout", "_aExit"}));

    // Opening a menu recomputes the actions from the setting.
    harness.loader().conf().Apply({.DisableRemote = false});
    emit form.hotkeyMenu()->aboutToShow();
    EXPECT_TRUE(form.action("_aCopy")->isVisible());
    EXPECT_TRUE(form.action("_aPaste")->isVisible());
}

TEST(TfInitTest, TakenHotkeyShowsTheBusyBalloonWithItsButton)
{
    ShellHarness::Options options;
    options.takenHotkeys = {24665}; // Ctrl+Shift+Y, the default
    ShellHarness harness(options);

    ASSERT_EQ(harness.balloons.shown.size(), 1U);
    const BalloonShown& busy = harness.balloons.shown.front();
    EXPECT_EQ(busy.title, QStringLiteral("Tern Clipboard"));
    EXPECT_EQ(busy.text, harness.shownText("GLOBAL", "mHotkeyBusy"));
    EXPECT_TRUE(busy.text.contains(QStringLiteral("Another program already uses the Tern Clipboard hotkey")));
    EXPECT_EQ(busy.icon, QStringLiteral("ERROR"));
    EXPECT_EQ(busy.button1, QString::fromStdString(harness.text("GLOBAL", "bChangeHotkey")));
    EXPECT_TRUE(busy.button2.isEmpty());
    EXPECT_TRUE(harness.hotkeys.registered.empty());
    EXPECT_FALSE(harness.hotkeys.press(1));
}

// Where the session lets no program have a hotkey (Wayland), nobody holds the combination: no busy
// notice, also not after a dialog, which registers again.
TEST(TfInitTest, SessionWithoutHotkeysShowsNoBusyNotice)
{
    ShellHarness::Options options;
    options.hotkeysUnavailable = "no session-wide keys here";
    ShellHarness harness(options);
    harness.form().EnterModalState();
    harness.form().LeaveModalState();
    EXPECT_TRUE(harness.balloons.shown.empty());
    EXPECT_TRUE(harness.hotkeys.registered.empty());
    EXPECT_EQ(harness.hotkeys.registerCalls.size(), 2U);
    // The start notice says what to do instead, above what else the session does not allow.
    harness.form().ShowStartNotice("No clipboard here.");
    ASSERT_EQ(harness.balloons.shown.size(), 1U);
    EXPECT_EQ(harness.balloons.shown.back().text,
              QStringLiteral("no session-wide keys here\nNo clipboard here."));
}

// Where the desktop decides on the hotkey later, the start notice says the session's limits at once;
// the decision is said when it comes (the key the desktop bound, or what to do instead), with the
// limits only the first time. Decisions on other hotkeys, and bindings the desktop does not name,
// show nothing.
TEST(TfInitTest, HotkeyTheDesktopDecidesLaterIsSaidWhenDecided)
{
    ShellHarness harness;
    EXPECT_EQ(harness.hotkeys.descriptions.at(1), "Hotkey");
    harness.form().ShowStartNotice("No clipboard here.");
    harness.hotkeys.settle(2, true, "Alt+Q");
    harness.hotkeys.settle(1, true, "Ctrl+Alt+T");
    harness.hotkeys.settle(1, true, "");
    harness.hotkeys.unavailable = "Bind it yourself.";
    harness.hotkeys.settle(1, false, "");
    harness.hotkeys.settle(1, true, "Ctrl+Alt+U");
    const std::vector<std::pair<QString, QString>> expected{
        {QStringLiteral("No clipboard here."), QStringLiteral("WARNING")},
        {QStringLiteral("Press Ctrl+Alt+T to open the Tern Clipboard menu anywhere.\nNo clipboard here."),
         QStringLiteral("WARNING")},
        {QStringLiteral("Bind it yourself."), QStringLiteral("WARNING")},
        {QStringLiteral("Press Ctrl+Alt+U to open the Tern Clipboard menu anywhere."),
         QStringLiteral("INFO")},
    };
    ASSERT_EQ(harness.balloons.shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(harness.balloons.shown.at(i).text, expected.at(i).first) << i;
        EXPECT_EQ(harness.balloons.shown.at(i).icon, expected.at(i).second) << i;
    }
}

// A tray click reported as withheld by a modal window acts only while one of the program's dialogs
// is open (bringing it forward is checked on the real desktop); outside that state, e.g. under a
// message box, it opens no menu.
TEST(TfInitTest, WithheldTrayClickOutsideTheDialogStateOpensNothing)
{
    ShellHarness harness;
    harness.trayClicks.click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(harness.form().trayMenu()->isVisible());
    EXPECT_FALSE(harness.form().hotkeyMenu()->isVisible());
}

} // namespace
} // namespace tern::test

namespace tern::test {
namespace {

// Choosing another language and translating the main form again switches the captions of both menus.
TEST(TfInitTest, AnotherLanguageSwitchesTheMenuCaptions)
{
    ShellHarness harness;
    TLoader& loader = harness.loader();
    {
        std::ofstream german(loader.folders().languages + "german.lng", std::ios::binary);
        german << "[LANG_INFO]\r\nName=Deutsch\r\nForBuild=12\r\n"
               << "[fInit]\r\naCopy=Entferntes Kopieren\r\naExit=Beenden\r\n";
    }
    loader.languages().ScanFolder();
    loader.languages().SelectFile("german.lng");
    loader.TranslateForm(&harness.form());

    EXPECT_EQ(harness.form().action("_aCopy")->text(), QStringLiteral("Entferntes Kopieren"));
    EXPECT_EQ(harness.form().action("_aExit")->text(), QStringLiteral("Beenden"));
    // Captions the German file lacks come from English.
    EXPECT_EQ(harness.form().action("_aPaste")->text().toStdString(), harness.text("fInit", "aPaste"));
    EXPECT_TRUE(harness.form().hotkeyMenu()->actions().contains(harness.form().action("_aCopy")));
}

} // namespace
} // namespace tern::test

namespace tern::test {
namespace {

// Requests from another process for the hotkey menu or one of its commands: refused with a reason
// while a dialog is open or when the settings hide the command, unknown values refused, and what is
// taken runs from the event loop on the window in front at the request.
TEST(TfInitTest, RemoteCommandsRunAsIfChosenFromTheHotkeyMenu)
{
    using platform::RemoteCommand;
    using Answer = platform::RemoteCommandAnswer;
    ShellHarness::Options options;
    options.disableRemote = true;
    ShellHarness harness(options);
    TfInit& form = harness.form();
    const auto run = [&form](RemoteCommand command) {
        return form.RunRemoteCommand(static_cast<std::int64_t>(command));
    };

    for (const std::int64_t unknown : {std::int64_t{0}, std::int64_t{8}, std::int64_t{-1}})
        EXPECT_EQ(form.RunRemoteCommand(unknown), Answer::Unknown) << unknown;
    EXPECT_EQ(run(RemoteCommand::RemoteCopy), Answer::SwitchedOff);
    EXPECT_EQ(run(RemoteCommand::RemotePaste), Answer::SwitchedOff);
    {
        const ModalScope dialog(harness.loader());
        EXPECT_EQ(run(RemoteCommand::Menu), Answer::Busy);
        EXPECT_EQ(run(RemoteCommand::ShareScreen), Answer::Busy);
    }

    harness.focus.foreground = 0x4200;
    int shares = 0;
    QObject::connect(form.action("_aShareScr"), &QAction::triggered, [&shares] { ++shares; });
    EXPECT_EQ(run(RemoteCommand::ShareScreen), Answer::Taken);
    EXPECT_EQ(shares, 0) << "the command starts after the answer";
    EXPECT_EQ(form.prevForeground(), 0x4200U);
    EXPECT_TRUE(QTest::qWaitFor([&shares] { return shares == 1; }, 5000));
    harness.settle();

    EXPECT_EQ(run(RemoteCommand::Menu), Answer::Taken);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.hotkeyMenu()->isVisible());
    form.hotkeyMenu()->hide();
}

} // namespace
} // namespace tern::test
