#include "service/ServiceClient.h"

#include "clipboard/KeyedSnapshot.h"
#include "service/TransferErrors.h"
#include "util/Errors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace tern {
namespace {

using namespace std::chrono_literals;

// Answers from a script and records every request; called on worker threads.
class FakeTransport final : public HttpTransport
{
public:
    struct Request
    {
        std::string method, url, contentType, body;
    };

    HttpReply get(const std::string& url) override { return answer({"GET", url, "", ""}); }
    HttpReply post(const std::string& url, const std::string& contentType, const std::string& body) override
    {
        return answer({"POST", url, contentType, body});
    }
    // Held requests end without a response, and so do all later ones.
    void abortTransfers() override
    {
        {
            const std::lock_guard lock(mutex);
            aborted = true;
        }
        wake.notify_all();
    }

    // A response with status 200, or (nothing) no connection.
    void reply(std::optional<std::string> body)
    {
        HttpReply next;
        if (body) {
            next.failure = HttpFailure::None;
            next.status = 200;
            next.body = std::move(*body);
        }
        reply(std::move(next));
    }
    void reply(HttpReply next)
    {
        const std::lock_guard lock(mutex);
        replies.push_back(std::move(next));
    }
    std::vector<Request> sent()
    {
        const std::lock_guard lock(mutex);
        return requests;
    }
    // Holds the next requests until release().
    void hold()
    {
        const std::lock_guard lock(mutex);
        held = true;
    }
    void release()
    {
        {
            const std::lock_guard lock(mutex);
            held = false;
        }
        wake.notify_all();
    }

private:
    HttpReply answer(Request request)
    {
        std::unique_lock lock(mutex);
        requests.push_back(std::move(request));
        wake.wait(lock, [this] { return !held || aborted; });
        if (aborted || replies.empty())
            return HttpReply{};
        HttpReply next = std::move(replies.front());
        replies.pop_front();
        return next;
    }

    std::mutex mutex;
    std::condition_variable wake;
    bool held = false;
    bool aborted = false;
    std::deque<HttpReply> replies;
    std::vector<Request> requests;
};

class FakeSnapshots final : public SnapshotClipboard
{
public:
    std::string captureSnapshot() override { return snapshot; }
    bool restoreSnapshot(const std::string& stream) override
    {
        // As the snapshot reader: a stream too short for its count, or a count far too large.
        if (stream.size() < 4 || stream[3] != '\0')
            throw StreamReadError("Stream read error");
        restored.push_back(stream);
        return true;
    }
    int SaveShareable(std::string& payload) override
    {
        payload = share;
        return shareKind;
    }

    std::string snapshot = "SNAP";
    std::vector<std::string> restored;
    std::string share = "hello";
    int shareKind = 1;
};

class FakeProgress final : public AuthProgress
{
public:
    void setVisible(bool shown) override { visible.push_back(shown); }
    int position() const override { return pos; }
    void setPosition(int value) override
    {
        pos = value;
        positions.push_back(value);
    }

    int pos = 0;
    std::vector<bool> visible;
    std::vector<int> positions;
};

const std::string kPass = "0123456789abcdef0123456789abcdef";

// The service settings as plain fields, named as the settings store names them.
struct FieldSettings : ServiceSettings
{
    std::string serviceHost() const override { return ServiceHost; }
    std::string downloadHost() const override { return DownloadHost; }
    std::string login() const override { return Login; }
    std::string password() const override { return Password; }
    void setAccount(const std::string& login, const std::string& password) override
    {
        Login = login;
        Password = password;
    }
    bool checkUpdates() const override { return CheckUpdates; }
    DateTime checkDate() const override { return CheckDate; }
    void setCheckDate(DateTime date) override { CheckDate = date; }
    std::string languageFile() const override { return "english.lng"; }

    std::string ServiceHost = "http://svc";
    std::string DownloadHost;
    std::string Login = "me+1@x.org";
    std::string Password = kPass;
    bool CheckUpdates = true;
    DateTime CheckDate = 0;
};

class ServiceClientTest : public ::testing::Test
{
protected:
    ServiceClientTest()
    {
        store = std::make_unique<FieldSettings>();
        client = std::make_unique<ServiceClient>(
            *store, [](const std::string& section, const std::string& key) { return section + "/" + key; },
            transport, snapshots);
        client->setPollInterval(5ms);
    }

    std::string multipartPayload(const FakeTransport::Request& request)
    {
        const size_t start = request.body.find("\r\n\r\n") + 4;
        const size_t end = request.body.rfind("\r\n--");
        return request.body.substr(start, end - start);
    }

    template <typename Action> std::string plainErrorOf(Action action)
    {
        try {
            action();
        } catch (const Error& error) {
            EXPECT_TRUE(isPlainError(error)) << error.typeName();
            return error.what();
        }
        return "(no error)";
    }

    std::unique_ptr<FieldSettings> store;
    FakeTransport transport;
    FakeSnapshots snapshots;
    std::unique_ptr<ServiceClient> client;
};

TEST_F(ServiceClientTest, AccountRequestsPostTheirFormsAndReadTheStatus)
{
    transport.reply("{\"status\":\"unregistered\"}");
    transport.reply("");
    EXPECT_EQ(client->ValidateEmail("a b@c", nullptr), "unregistered");
    EXPECT_EQ(client->ValidateEmail("a b@c", nullptr), "");
    const auto sent = transport.sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].method, "POST");
    EXPECT_EQ(sent[0].url, "http://svc/index.php/auth/validate");
    EXPECT_EQ(sent[0].contentType, "application/x-www-form-urlencoded");
    EXPECT_EQ(sent[0].body, "email=a%20b%40c");

    transport.reply("<html>error</html>");
    EXPECT_THROW(client->ValidateEmail("a@c", nullptr), JsonError);
}

TEST_F(ServiceClientTest, TheProgressBarCyclesDuringTheRequestAndIsHiddenAfterIt)
{
    FakeProgress progress;
    progress.pos = 9;
    transport.hold();
    transport.reply("not json");
    std::thread releaser([this] {
        std::this_thread::sleep_for(100ms);
        transport.release();
    });
    EXPECT_THROW(client->ValidateEmail("a@c", &progress), JsonError);
    releaser.join();
    ASSERT_GE(progress.positions.size(), 3u);
    EXPECT_EQ(progress.positions[0], 10);
    EXPECT_EQ(progress.positions[1], 0);
    EXPECT_EQ(progress.positions[2], 1);
    EXPECT_EQ(progress.visible, (std::vector<bool>{true, false}));
}

TEST_F(ServiceClientTest, LoginAndRegistrationStoreTheAccountOnlyOnSuccess)
{
    const std::string other = "fedcba9876543210fedcba9876543210";
    transport.reply("{\"status\":\"ok\"}");
    EXPECT_TRUE(client->TryLogin("new@x.org", other));
    EXPECT_EQ(store->Login, "new@x.org");
    EXPECT_EQ(store->Password, other);
    EXPECT_EQ(transport.sent().back().body, "email=new%40x.org&pass=" + other);

    // A refused login, or one whose reply is not understood, keeps the account that works.
    transport.reply("{\"status\":\"wrong\"}");
    EXPECT_FALSE(client->TryLogin("typo@x.org", kPass));
    transport.reply("<html>proxy</html>");
    EXPECT_THROW(client->TryLogin("typo@x.org", kPass), JsonError);
    EXPECT_EQ(store->Login, "new@x.org");
    EXPECT_EQ(store->Password, other);
    store->Login.clear();

    transport.reply("{\"status\":\"error\",\"message\":\"Taken\"}");
    EXPECT_EQ(client->RegisterAccount("r@x.org", kPass), "Taken");
    EXPECT_EQ(store->Login, "");
    transport.reply("");
    EXPECT_EQ(client->RegisterAccount("r@x.org", kPass), kRegistrationFailedText);
    transport.reply("{\"status\":\"ok\"}");
    EXPECT_EQ(client->RegisterAccount("r@x.org", kPass), std::nullopt);
    EXPECT_EQ(store->Login, "r@x.org");
    EXPECT_EQ(store->Password, kPass);
    EXPECT_EQ(transport.sent().back().url, "http://svc/index.php/auth/register");
}

TEST_F(ServiceClientTest, SnapshotUploadKeepsItsLimitAndReadsTheReply)
{
    snapshots.snapshot = std::string(kMaxSnapshotBytes, 's');
    transport.reply("{\"status\":\"ok\"}");
    EXPECT_TRUE(client->UploadSnapshot());
    auto sent = transport.sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].url, "http://svc/storage/save.html?email=me%2B1%40x.org&pass=" + kPass);
    EXPECT_EQ(sent[0].contentType.rfind("multipart/form-data; boundary=", 0), 0u);
    EXPECT_EQ(multipartPayload(sent[0]), snapshots.snapshot);

    snapshots.snapshot += 's';
    EXPECT_EQ(plainErrorOf([&] { client->UploadSnapshot(); }),
              "The selected data is too large to send: the limit is 1,000,000 bytes.");
    EXPECT_EQ(transport.sent().size(), 1u);

    snapshots.snapshot = "SNAP";
    transport.reply("{\"status\":\"nospace\"}");
    EXPECT_EQ(plainErrorOf([&] { client->UploadSnapshot(); }), "Copy operation failed with error: nospace");
    transport.reply("{}");
    EXPECT_FALSE(client->UploadSnapshot());
    transport.reply("");
    EXPECT_THROW(client->UploadSnapshot(), JsonError);
    transport.reply("<html><body>500</body></html>");
    EXPECT_THROW(client->UploadSnapshot(), JsonError);
}

TEST_F(ServiceClientTest, EveryTransferWaitEndsWhenItsWorkerEnds)
{
    // A poll far longer than the request: each wait must end on the worker's end, not on a poll.
    constexpr auto kPoll = 10s;
    client->setPollInterval(kPoll);
    std::atomic<int> signals{0};
    client->setWorkerDoneSignal([&signals] { ++signals; });
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"account request",
         [this] { EXPECT_THROW(client->ValidateEmail("a@b.c", nullptr), NoConnectionError); }},
        {"snapshot upload (failing)", [this] { EXPECT_THROW(client->UploadSnapshot(), NoConnectionError); }},
        {"share upload (failing)", [this] { EXPECT_THROW(client->UploadShare("p", 1), NoConnectionError); }},
        {"snapshot download", [this] { EXPECT_THROW(client->DownloadSnapshot(), NoConnectionError); }},
    };
    for (const auto& [name, run] : cases) {
        SCOPED_TRACE(name);
        signals = 0;
        transport.hold();
        std::thread releaser([this] {
            std::this_thread::sleep_for(60ms);
            transport.release();
        });
        const auto start = std::chrono::steady_clock::now();
        run();
        const auto waited = std::chrono::steady_clock::now() - start;
        releaser.join();
        EXPECT_LT(waited, kPoll / 2);
        EXPECT_EQ(signals.load(), 1);
    }
}

TEST_F(ServiceClientTest, AnUpdateCheckThatHangsDoesNotHoldTheEnd)
{
    transport.hold();
    // Lets a client that waits for the hanging check end the test, failing, rather than hang it.
    std::promise<void> ended;
    std::thread watchdog([this, over = ended.get_future()] {
        over.wait_for(10s);
        transport.release();
    });
    client->StartUpdateCheck([](const UpdateCheckResult&) {}, 22);
    const auto sent = std::chrono::steady_clock::now() + 5s;
    while (transport.sent().empty() && std::chrono::steady_clock::now() < sent)
        std::this_thread::yield();
    ASSERT_EQ(transport.sent().size(), 1u);
    const auto start = std::chrono::steady_clock::now();
    client.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    ended.set_value();
    watchdog.join();
}

TEST_F(ServiceClientTest, DownloadRestoresTheBodyOrReportsNoResponse)
{
    transport.reply(std::nullopt);
    EXPECT_THROW(client->DownloadSnapshot(), NoConnectionError);
    EXPECT_TRUE(snapshots.restored.empty());
    transport.reply(std::string("\x01\x00\x00\x00", 4));
    EXPECT_TRUE(client->DownloadSnapshot());
    ASSERT_EQ(snapshots.restored.size(), 1u);
    EXPECT_EQ(snapshots.restored[0], std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(transport.sent().back().method, "GET");
    EXPECT_EQ(transport.sent().back().url, "http://svc/storage/read.html?email=me%2B1%40x.org&pass=" + kPass);
}

// What the user is told names what went wrong, for every request; never that the password is wrong
// unless the service said so, and never the password value.
TEST_F(ServiceClientTest, EveryFailedExchangeSaysWhatWentWrong)
{
    const auto failure = [](HttpFailure kind) {
        HttpReply reply;
        reply.failure = kind;
        return reply;
    };
    const auto response = [](int status, std::string body) {
        HttpReply reply;
        reply.failure = HttpFailure::None;
        reply.status = status;
        reply.body = std::move(body);
        return reply;
    };
    struct Case
    {
        HttpReply reply;
        const char* expected; // the type name in parentheses
    };
    const Case cases[] = {
        {failure(HttpFailure::NoConnection), "NoConnection"},
        {failure(HttpFailure::TimedOut), "TimedOut"},
        {failure(HttpFailure::CertificateRefused), "CertificateRefused"},
        {failure(HttpFailure::ReplyTooLarge), "ReplyTooLarge"},
        {response(503, ""), "ServiceError"},
        {response(502, "<html><h1>Bad Gateway</h1></html>"), "ServiceError"},
    };
    const std::pair<const char*, std::function<void()>> operations[] = {
        {"validate", [this] { client->ValidateEmail("a@b.c", nullptr); }},
        {"login", [this] { client->TryLogin("a@b.c", kPass); }},
        {"register", [this] { client->RegisterAccount("a@b.c", kPass); }},
        {"upload", [this] { client->UploadSnapshot(); }},
        {"share", [this] { client->UploadShare("p", 1); }},
        {"download", [this] { client->DownloadSnapshot(); }},
    };
    for (const auto& [name, run] : operations) {
        for (const Case& entry : cases) {
            SCOPED_TRACE(std::string(name) + " " + entry.expected);
            transport.reply(entry.reply);
            try {
                run();
                ADD_FAILURE() << "no error";
            } catch (const TransferError& error) {
                EXPECT_STREQ(error.typeName(), entry.expected);
                EXPECT_EQ(error.what(), "FAUTHFORM/mConnectProb (" + std::string(entry.expected) + ")");
                EXPECT_EQ(error.address().rfind("http://svc/", 0), 0u);
                EXPECT_EQ(error.describe().find(kPass), std::string::npos) << error.describe();
            }
        }
    }
    // A login reply without a status is no refusal; a status word is.
    transport.reply("{}");
    EXPECT_THROW(client->TryLogin("a@b.c", kPass), ServiceError);
    transport.reply(response(403, "{\"status\":\"error\"}"));
    EXPECT_FALSE(client->TryLogin("a@b.c", kPass));
}

TEST_F(ServiceClientTest, ShareUploadsThePayloadWithItsKind)
{
    snapshots.share = std::string(kMaxSharePayloadBytes, 'p');
    snapshots.shareKind = 3;
    transport.reply("{\"status\":\"ok\",\"accesskey\":\"K3y\"}");
    EXPECT_EQ(client->UploadClipboardShare(), "K3y");
    EXPECT_EQ(client->shareLinkUrl("K3y"), "http://svc/d/K3y.html");
    auto sent = transport.sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].url, "http://svc/storage/share.html?email=me%2B1%40x.org&pass=" + kPass + "&tp=3");
    EXPECT_EQ(multipartPayload(sent[0]).size(), kMaxSharePayloadBytes);

    snapshots.share += 'p';
    EXPECT_EQ(plainErrorOf([&] { client->UploadClipboardShare(); }),
              "The selected data is too large to send: the limit is 5,000,000 bytes.");
    EXPECT_EQ(transport.sent().size(), 1u);

    // Nothing on the clipboard: an empty part with kind 0 is still sent.
    snapshots.share.clear();
    snapshots.shareKind = 0;
    transport.reply("{}");
    EXPECT_EQ(plainErrorOf([&] { client->UploadClipboardShare(); }), "GLOBAL/mUploadFailed");
    EXPECT_EQ(transport.sent().back().url.substr(transport.sent().back().url.size() - 5), "&tp=0");
    EXPECT_EQ(multipartPayload(transport.sent().back()), "");

    transport.reply("{\"status\":\"ok\",\"accesskey\":\"\"}");
    EXPECT_EQ(plainErrorOf([&] { client->UploadShare("x", 1); }), "GLOBAL/mUploadFailed");
    transport.reply("{\"status\":\"denied\"}");
    EXPECT_EQ(plainErrorOf([&] { client->UploadShare("x", 1); }), "Copy operation failed with error: denied");
}

TEST_F(ServiceClientTest, HistoryAndForgottenPasswordAddressesUseTheStoredValues)
{
    EXPECT_EQ(client->HistoryUrl(), "http://svc/cp/history.html?u=me%2B1%40x.org&p=" + kPass);
    EXPECT_EQ(client->forgotPasswordUrl("me+1@x.org"), "http://svc/start/forgot.html?email=me%2B1@x.org");
    store->DownloadHost = "http://dl";
    EXPECT_EQ(client->downloadPageUrl(), "http://dl/start/download.html?lang=english.lng");
}

TEST_F(ServiceClientTest, UpdateChecksReportOnTheirThreadAndFollowTheDateRule)
{
    std::mutex mutex;
    std::condition_variable reported;
    std::vector<std::pair<std::string, UpdateCheckResult>> reports;
    auto reporter = [&](std::string name) {
        return [&, name](const UpdateCheckResult& result) {
            const std::lock_guard lock(mutex);
            reports.emplace_back(name, result);
            reported.notify_all();
        };
    };
    auto waitForReports = [&](size_t count) {
        std::unique_lock lock(mutex);
        return reported.wait_for(lock, 5s, [&] { return reports.size() >= count; });
    };

    transport.reply("outdated;2\r\nline one\r\nline two\r\n");
    client->StartUpdateCheck(reporter("direct"), 22);
    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(transport.sent()[0].url, "http://svc/start/check.html?v=22");
    EXPECT_EQ(reports[0].second.outcome, kUpdateOutdated);
    EXPECT_EQ(reports[0].second.message, "line one\r\nline two\r\n");

    const DateTime now = 45000.0;
    store->CheckDate = now - 7.0;
    client->CheckForUpdates(false, now, reporter("manual"), reporter("auto"));
    EXPECT_EQ(store->CheckDate, now);
    store->CheckDate = now - 7.001;
    client->CheckForUpdates(false, now, reporter("manual"), reporter("auto"));
    ASSERT_TRUE(waitForReports(2));
    EXPECT_EQ(reports[1].first, "auto");
    EXPECT_EQ(reports[1].second.outcome, kUpdateNoAnswer);

    store->CheckUpdates = false;
    store->CheckDate = now - 30.0;
    client->CheckForUpdates(false, now, reporter("manual"), reporter("auto"));
    EXPECT_EQ(store->CheckDate, now);
    client->CheckForUpdates(true, now, reporter("manual"), reporter("auto"));
    ASSERT_TRUE(waitForReports(3));
    EXPECT_EQ(reports[2].first, "manual");
    client.reset();
    EXPECT_EQ(reports.size(), 3u);
    EXPECT_EQ(transport.sent().size(), 3u);
}

TEST_F(ServiceClientTest, NoRequestCarriesTheEndToEndKeyOrItsValue)
{
    if (!EndToEndKeyAvailable())
        GTEST_SKIP() << kEndToEndKeyUnavailableText;
    const std::string passphrase = "a long shared phrase";
    const std::string value = EndToEndKeyValue(passphrase, KeySchemeForCopies());
    std::string raw;
    for (std::size_t at = 0; at < value.size(); at += 2)
        raw += static_cast<char>(std::stoi(value.substr(at, 2), nullptr, 16));
    ClipboardFormats formats;
    formats.push_back(std::make_unique<TClipboardFormat>(CopyKeyValue(kPass, passphrase)));
    formats.back()->Format = 13;
    formats.back()->Data.Write(0, "a private message");
    AppendKeySchemeRecord(formats, passphrase);
    snapshots.snapshot.clear();
    SaveSnapshot(formats, snapshots.snapshot);
    transport.reply("{\"status\":\"ok\"}");
    EXPECT_TRUE(client->UploadSnapshot());
    transport.reply(snapshots.snapshot);
    EXPECT_TRUE(client->DownloadSnapshot());
    const auto sent = transport.sent();
    ASSERT_EQ(sent.size(), 2u);
    for (const auto& request : sent)
        for (const std::string& secret : {passphrase, value, raw, std::string("a private message")})
            EXPECT_EQ((request.url + request.body).find(secret), std::string::npos) << secret;
}

} // namespace
} // namespace tern
