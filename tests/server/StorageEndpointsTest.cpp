#include "ServerFixture.h"

namespace tern::server::test {
namespace {

class StorageEndpoints : public ServerFixture
{
protected:
    void adjustOptions(ServerOptions& options) override
    {
        options.failedLoginsPerAddress.maxEvents = 1000;
        options.failedLoginsPerAccountAddress.maxEvents = 1000;
    }
    void SetUp() override
    {
        ServerFixture::SetUp();
        ASSERT_EQ(registerAccount(kEmail), "ok");
    }
    std::string saveTarget() const { return "/storage/save.html" + credentials(kEmail, kPass); }
    std::string save(std::string_view snapshot) { return status(upload(saveTarget(), snapshot)); }
    RawReply read() { return get("/storage/read.html" + credentials(kEmail, kPass)); }

    const std::string kEmail = "user+clip@example.com";
};

TEST_F(StorageEndpoints, ReadWithNothingStoredGivesASnapshotOfNoRecords)
{
    const RawReply reply = read();
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, std::string(4, '\0'));
    EXPECT_EQ(reply.header("Content-Type"), "application/octet-stream");
}

TEST_F(StorageEndpoints, SaveAndReadReturnTheExactBytes)
{
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    // CR LF pairs, near misses of the boundary and the boundary not at a line start must not cut the
    // payload short (the client draws another boundary when the payload holds it at a line start).
    const std::string first = SnapshotOf(
        {everyByte, "\r\n--1A2B3C4D_Synapse_boundarX--\r\n\r\nx--1A2B3C4D_Synapse_boundary\r\n", ""});
    ASSERT_EQ(save(first), "ok");
    EXPECT_EQ(read().body, first);

    const std::string second = Snapshot(3, 5000);
    ASSERT_EQ(save(second), "ok");
    EXPECT_EQ(read().body, second); // a save replaces the stored snapshot
}

TEST_F(StorageEndpoints, SnapshotSizeLimit)
{
    // 4 + 9 + N bytes: exactly 1,000,000 is stored, one more is refused and changes nothing.
    const std::string largest = Snapshot(1, 1000000 - 13);
    ASSERT_EQ(largest.size(), 1000000u);
    EXPECT_EQ(save(largest), "ok");
    const std::string tooLarge = Snapshot(1, 1000000 - 12);
    EXPECT_EQ(save(tooLarge), "toolarge");
    EXPECT_EQ(read().body, largest);
}

TEST_F(StorageEndpoints, MalformedUploadsAreRefusedAndNothingIsStored)
{
    const std::string boundary = "B0B0B0B0_Synapse_boundary";
    const auto multipart = [&](const std::string& parts) {
        return "POST " + saveTarget() +
               " HTTP/1.0\r\nContent-Type: multipart/form-data; boundary=" + boundary +
               "\r\nContent-Length: " + std::to_string(parts.size()) + "\r\n\r\n" + parts;
    };
    const auto part = [&](const std::string& name, const std::string& content) {
        return "--" + boundary + "\r\ncontent-disposition: form-data; name=\"" + name +
               "\"; filename=\"x.html\"\r\nContent-Type: text/html\r\n\r\n" + content + "\r\n";
    };
    const std::string end = "--" + boundary + "--\r\n";
    const std::string valid = Snapshot(1, 40);
    const struct
    {
        std::string request;
        std::string status;
    } cases[] = {
        {multipart(part("other", valid) + end), "badrequest"},
        {multipart(part("data", valid) + part("data", valid) + end), "badrequest"},
        {FormRequest(port(), saveTarget(), "data=abc"), "badrequest"},
        {UploadRequest(port(), saveTarget(), "not a snapshot"), "badformat"},
        {UploadRequest(port(), saveTarget(), ""), "badformat"},
        {UploadRequest(port(), saveTarget(), valid.substr(0, valid.size() - 1)), "badformat"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(status(SendRaw(port(), c.request)), c.status) << c.request.substr(0, 300);
    EXPECT_EQ(read().body, std::string(4, '\0'));

    // The file name is ignored; any other parts beside the one "data" part are too.
    EXPECT_EQ(status(SendRaw(port(), multipart(part("data", valid) + part("note", "x") + end))), "ok");
    EXPECT_EQ(read().body, valid);
}

TEST_F(StorageEndpoints, WrongCredentialsStoreNothingAndReadNothing)
{
    ASSERT_EQ(save(Snapshot(1, 100)), "ok");
    const struct
    {
        std::string email;
        std::string pass;
    } cases[] = {
        {kEmail, kOtherPass},
        {"nobody@example.com", kPass},
        {kEmail, "5F4DCC3B5AA765D61D8327DEB882CF99"},
        {kEmail, ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(status(upload("/storage/save.html" + credentials(c.email, c.pass), Snapshot(0, 0))),
                  "denied")
            << c.email << " " << c.pass;
        const RawReply reply = get("/storage/read.html" + credentials(c.email, c.pass));
        EXPECT_EQ(reply.body, "") << c.email << " " << c.pass;
    }
    EXPECT_EQ(read().body, Snapshot(1, 100));
}

TEST_F(StorageEndpoints, BodiesBeyondTheRequestCapGetAJsonRefusal)
{
    const RawReply reply = upload(saveTarget(), std::string(5200000, 'x'));
    EXPECT_EQ(reply.status, 413);
    EXPECT_EQ(status(reply), "toolarge");
}

} // namespace
} // namespace tern::server::test
