#pragma once

#include "Command.h"
#include "ToolContext.h"
#include "clipboard/ClipboardFormat.h"
#include "config/ConfServiceSettings.h"
#include "service/HttpTransport.h"
#include "service/ServiceClient.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace tern::tool {

// The clipboard of the service commands: a snapshot stream prepared from files instead of captured,
// the formats of a downloaded snapshot kept instead of put on the system clipboard, and a share
// payload prepared from a file.
class ToolSnapshots final : public SnapshotClipboard
{
public:
    // `passphrase`: the end-to-end key that keyed snapshots are opened with (empty: none).
    ToolSnapshots(std::string passwordValue, std::string passphrase)
        : m_password(std::move(passwordValue)), m_passphrase(std::move(passphrase))
    {
    }

    std::string captureSnapshot() override { return snapshot; }
    bool restoreSnapshot(const std::string& stream) override;
    int SaveShareable(std::string& payload) override;

    // The items of the last restored snapshot (each decoded only when it is read), and its stream.
    ClipboardFormats restored;
    std::string restoredStream;
    std::string snapshot;
    std::string share;
    int shareKind = 0;

private:
    std::string m_password;
    std::string m_passphrase;
};

// What a service command works with: the settings and texts of the tool, the HTTP transport and the
// service client over them.
class ServiceSession
{
public:
    ServiceSession(ToolContext& context, bool readOnly);

    TConfStore& store() { return m_store; }
    const LanguageTexts& texts() { return m_texts; }
    ServiceClient& client() { return m_client; }
    ToolSnapshots& snapshots() { return m_snapshots; }
    std::string text(const std::string& section, const std::string& key) const
    {
        return m_texts.GetText(section, key);
    }
    // Throws tern::Error unless an e-mail and a password value are stored.
    void requireAccount() const;

private:
    const LanguageTexts& m_texts;
    TConfStore& m_store;
    std::unique_ptr<HttpTransport> m_transport;
    ToolSnapshots m_snapshots;
    ConfServiceSettings m_settings;
    ServiceClient m_client;
};

// The largest input file a command reads as it stands: twice the biggest share payload.
inline constexpr size_t kMaxInputBytes = 10'000'000;

// The whole of `source` ("-" or empty: standard input) as bytes. Throws FileError, saying so with the
// limit when the input holds more than `maxBytes`.
std::string ReadInputBytes(const std::string& source, std::istream& in, size_t maxBytes = kMaxInputBytes);

} // namespace tern::tool
