// Remote Copy and Remote Paste through the dispatcher, the fake clipboard and a real service: the
// round trip of several formats, and every failure ending in one error balloon with the clipboard
// left as it was.
#include "ShellTestSupport.h"

#include "clipboard/EndToEndKey.h"
#include "service/PasswordDigest.h"
#include "support/RecordingHttpServer.h"
#include "util/TextEncoding.h"

#include <QMenu>

#include <gtest/gtest.h>

namespace tern::test {
namespace {

constexpr std::uint32_t kHtmlFormat = platform::kFirstRegisteredFormat + 0x10;

std::vector<platform::ClipboardEntry> TextAndHtml()
{
    return {{platform::kFormatUnicodeText, Utf16LeTextBlock("Grüße from the first computer")},
            {kHtmlFormat, std::string("<html><body><b>Gr\xc3\xbc\xc3\x9f"
                                      "e</b> from the first computer</body></html>")}};
}

std::vector<platform::ClipboardEntry> LocalContent()
{
    return {{platform::kFormatUnicodeText, Utf16LeTextBlock("what was here before")}};
}

// Payload bytes of each entry, for comparison.
std::vector<std::pair<std::uint32_t, std::string>> Bytes(const std::vector<platform::ClipboardEntry>& entries)
{
    std::vector<std::pair<std::uint32_t, std::string>> bytes;
    for (const platform::ClipboardEntry& entry : entries)
        bytes.emplace_back(entry.format, std::get<std::string>(entry.data));
    return bytes;
}

TEST(RemoteTransferTest, TextAndHtmlTravelToAnotherComputer)
{
    ShellHarness first;
    first.clipboard.set(LocalContent());
    first.copyPuts(TextAndHtml());
    first.trigger("_aCopy");
    EXPECT_EQ(first.keys.sent, (std::vector<std::uint16_t>{'C'}));
    ASSERT_EQ(first.balloons.shown.size(), 1U);
    EXPECT_EQ(first.balloons.shown[0].text, first.shownText("GLOBAL", "mSelShared"));
    EXPECT_EQ(first.balloons.shown[0].icon, QStringLiteral("INFO"));
    EXPECT_TRUE(first.clipboard.writes.empty()) << "Remote Copy only reads the clipboard";

    // The second computer is signed in to the same account.
    ShellHarness second;
    second.loader().conf().Apply({.Login = first.account.email});
    second.loader().conf().Apply({.Password = first.account.passwordValue});
    second.clipboard.set(LocalContent());
    second.balloons.shown.clear();
    second.trigger("_aPaste");
    ASSERT_EQ(second.balloons.shown.size(), 1U);
    EXPECT_EQ(second.balloons.shown[0].text, second.shownText("GLOBAL", "mDataPasted"));
    ASSERT_EQ(second.clipboard.writes.size(), 1U) << "restored in one step";
    EXPECT_EQ(Bytes(second.clipboard.content), Bytes(TextAndHtml()));
    EXPECT_EQ(second.keys.sent, (std::vector<std::uint16_t>{'V'}));
}

// The download takes a while: a window that came forward meanwhile does not get the paste.
TEST(RemoteTransferTest, PasteGoesToTheWindowItWasChosenIn)
{
    ShellHarness first;
    first.copyPuts(TextAndHtml());
    first.trigger("_aCopy");

    ShellHarness second;
    second.loader().conf().Apply({.Login = first.account.email});
    second.loader().conf().Apply({.Password = first.account.passwordValue});
    second.focus.windows = {42, 77};
    second.focus.foreground = 42;
    ASSERT_TRUE(second.hotkeys.press(1));
    second.form().hotkeyMenu()->hide();
    int restores = 0;
    second.clipboard.onWrite = [&] {
        ++restores;
        second.focus.foreground = 77;
    };
    platform::WindowHandle pastedInto = 0;
    second.keys.onSend = [&](std::uint16_t) { pastedInto = second.focus.foreground; };
    second.trigger("_aPaste");
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(second.keys.sent, (std::vector<std::uint16_t>{'V'}));
    EXPECT_EQ(pastedInto, 42U);
}

// Computers of one account with end-to-end keys: a keyed copy pastes only where the same key is set,
// elsewhere the paste says why and leaves the clipboard alone; a copy without a key pastes anywhere.
TEST(RemoteTransferTest, KeyedCopiesPasteWhereTheSameKeyIsSet)
{
    if (!EndToEndKeyAvailable())
        GTEST_SKIP() << kEndToEndKeyUnavailableText;
    const std::string key = "a passphrase of ours";
    const struct
    {
        std::string copyKey, pasteKey;
        bool pastes;
    } cases[] = {
        {key, key, true},
        {"", key, true},
        {key, "", false},
        {key, "another passphrase", false},
    };
    ShellHarness first;
    ShellHarness second;
    second.loader().conf().Apply({.Login = first.account.email, .Password = first.account.passwordValue});
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.copyKey + " -> " + entry.pasteKey);
        first.loader().conf().Apply({.EndToEndKey = entry.copyKey});
        first.balloons.shown.clear();
        first.copyPuts(TextAndHtml());
        first.trigger("_aCopy");
        ASSERT_EQ(first.balloons.shown.size(), 1U);
        ASSERT_EQ(first.balloons.shown[0].text, first.shownText("GLOBAL", "mSelShared"));

        second.loader().conf().Apply({.EndToEndKey = entry.pasteKey});
        second.clipboard.set(LocalContent());
        second.clipboard.writes.clear();
        second.balloons.shown.clear();
        second.trigger("_aPaste");
        ASSERT_EQ(second.balloons.shown.size(), 1U);
        EXPECT_EQ(second.balloons.shown[0].text,
                  second.shownText("GLOBAL", entry.pastes ? "mDataPasted" : "mKeyNeeded"));
        EXPECT_EQ(Bytes(second.clipboard.content), Bytes(entry.pastes ? TextAndHtml() : LocalContent()));
        EXPECT_EQ(second.clipboard.writes.size(), entry.pastes ? 1U : 0U);
    }
    EXPECT_EQ(second.shownText("GLOBAL", "mKeyNeeded").toStdString(), kEndToEndKeyNeededText);
}

TEST(RemoteTransferTest, CopyThatYieldsNothingFailsAndUploadsNothing)
{
    RecordingHttpServer counting(HtmlPageReply()); // any request reaching the service would be counted here
    ShellHarness::Options options;
    options.serviceHost = counting.base();
    ShellHarness harness(options);
    harness.clipboard.set(LocalContent());

    struct Case
    {
        const char* what;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"the window in front does not change the clipboard", [&] { harness.keys.onSend = {}; }},
        {"the clipboard empties", [&] { harness.copyPuts({}); }},
        // Formats other than text under 20 bytes are not captured: nothing is left.
        {"only a tiny format",
         [&] {
             harness.copyPuts({{kHtmlFormat, std::string("<b>x</b>")}});
         }},
    };
    for (const Case& entry : cases) {
        harness.balloons.shown.clear();
        entry.arrange();
        harness.trigger("_aCopy");
        ASSERT_EQ(harness.balloons.shown.size(), 1U) << entry.what;
        EXPECT_EQ(harness.balloons.shown[0].text, harness.shownText("GLOBAL", "mCopyFailed")) << entry.what;
        EXPECT_EQ(harness.balloons.shown[0].icon, QStringLiteral("ERROR")) << entry.what;
    }
    EXPECT_TRUE(counting.requests().empty());
}

TEST(RemoteTransferTest, PasteThatCannotPutOrPasteAnythingReportsFailure)
{
    ShellHarness first;
    first.copyPuts({{kHtmlFormat, std::string("<html><body>only a type of its own</body></html>")}});
    first.trigger("_aCopy");
    ASSERT_EQ(first.balloons.shown.back().text, first.shownText("GLOBAL", "mSelShared"));

    struct Case
    {
        const char* what;
        bool htmlRefused;
        bool keysCannotBeSent;
        bool clipboardWritten;
    };
    const Case cases[] = {
        {"none of the formats can be put on this clipboard", true, false, false},
        {"no way to send Ctrl+V", false, true, true},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        ShellHarness second;
        second.loader().conf().Apply({.Login = first.account.email});
        second.loader().conf().Apply({.Password = first.account.passwordValue});
        second.clipboard.set(LocalContent());
        if (test.htmlRefused)
            second.clipboard.refused = {kHtmlFormat};
        second.keys.cannotSend = test.keysCannotBeSent;
        const std::uint64_t sequence = second.clipboard.sequence;
        second.balloons.shown.clear();
        second.trigger("_aPaste");
        ASSERT_EQ(second.balloons.shown.size(), 1U);
        EXPECT_EQ(second.balloons.shown[0].text, second.shownText("GLOBAL", "mPasteFailed"));
        EXPECT_EQ(second.balloons.shown[0].icon, QStringLiteral("ERROR"));
        EXPECT_EQ(second.clipboard.sequence != sequence, test.clipboardWritten);
        if (!test.clipboardWritten) {
            EXPECT_EQ(Bytes(second.clipboard.content), Bytes(LocalContent()));
            EXPECT_TRUE(second.keys.sent.empty()) << "nothing is pasted";
        }
    }
}

// Each failure of the service: one error balloon with the text of the error rule, and the clipboard
// untouched by Remote Paste.
class ServiceFailureTest : public testing::Test
{
protected:
    void expectOneError(ShellHarness& harness, const char* command, const QString& expected)
    {
        harness.balloons.shown.clear();
        harness.clipboard.writes.clear();
        harness.clipboard.set(LocalContent());
        const std::uint64_t sequence = harness.clipboard.sequence;
        harness.trigger(command);
        ASSERT_EQ(harness.balloons.shown.size(), 1U) << command;
        EXPECT_EQ(harness.balloons.shown[0].icon, QStringLiteral("ERROR")) << command;
        EXPECT_EQ(harness.balloons.shown[0].title, QStringLiteral("Tern Clipboard"));
        EXPECT_EQ(harness.balloons.shown[0].text, expected) << command;
        if (std::string(command) == "_aPaste") {
            EXPECT_TRUE(harness.clipboard.writes.empty());
            EXPECT_EQ(harness.clipboard.sequence, sequence);
            EXPECT_EQ(Bytes(harness.clipboard.content), Bytes(LocalContent()));
            EXPECT_TRUE(harness.keys.sent.empty() || harness.keys.sent.back() != 'V') << "nothing is pasted";
        }
    }

    static ShellHarness::Options At(const std::string& host, const std::string& connectionText = {})
    {
        ShellHarness::Options options;
        options.serviceHost = host;
        options.connectionProblemText = connectionText;
        return options;
    }
};

TEST_F(ServiceFailureTest, ServiceDown)
{
    // The translation is never a format pattern: "%s" is the service address and a "%" stays as it is.
    const std::string closed = ClosedServiceHost();
    ShellHarness harness(At(closed, "No service (100% %s down)"));
    // Both say what went wrong: no connection.
    const QString noConnection =
        QStringLiteral("No service (100% %1 down) (NoConnection)").arg(QString::fromStdString(closed));
    expectOneError(harness, "_aPaste", noConnection);
    harness.copyPuts(TextAndHtml());
    expectOneError(harness, "_aCopy", noConnection);
}

TEST_F(ServiceFailureTest, ServiceAnswersHtml)
{
    RecordingHttpServer portal(HtmlPageReply());
    ShellHarness harness(At(portal.base()));
    const QString connection = harness.connectionProblemText();
    EXPECT_TRUE(connection.contains(QString::fromStdString(portal.base())));
    expectOneError(harness, "_aPaste", connection + " (StreamReadError)");
    harness.copyPuts(TextAndHtml());
    expectOneError(harness, "_aCopy", connection + " (JsonError)");
    EXPECT_EQ(portal.requests().size(), 2U);
}

TEST_F(ServiceFailureTest, SnapshotOfAnotherPasswordValue)
{
    ShellHarness harness;
    harness.copyPuts(TextAndHtml());
    harness.trigger("_aCopy");
    ASSERT_EQ(harness.balloons.shown.back().text, harness.shownText("GLOBAL", "mSelShared"));
    harness.keys.onSend = {};
    harness.keys.sent.clear();

    // The service refuses the read with an error status and an empty reply, which is no snapshot
    // stream: the service's error, not a broken stream.
    harness.loader().conf().Apply({.Password = PasswordDigest("another password")});
    expectOneError(harness, "_aPaste", harness.connectionProblemText() + " (ServiceError)");
}

} // namespace
} // namespace tern::test
