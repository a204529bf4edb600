#include "ServiceSession.h"

#include "clipboard/ClipboardFormat.h"
#include "clipboard/KeyedSnapshot.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"
#include "util/TextEncoding.h"

#include <istream>
#include <iterator>

namespace tern::tool {

namespace {

// The largest input file a command reads: twice the biggest share payload.
constexpr size_t kMaxInputBytes = 10'000'000;

} // namespace

bool ToolSnapshots::restoreSnapshot(const std::string& stream)
{
    ClipboardFormats formats;
    size_t position = 0;
    LoadKeyedSnapshot(stream, position, m_password, m_passphrase, {}, formats);
    restored.clear();
    restoredStream = stream;
    for (const auto& item : formats)
        restored.emplace_back(item->Format, item->Data.ReadAll());
    return true;
}

int ToolSnapshots::SaveShareable(std::string& payload)
{
    payload = share;
    return shareKind;
}

ServiceSession::ServiceSession(ToolContext& context, bool readOnly)
    : m_texts(context.texts()), m_store(context.store(readOnly)),
      m_transport(CreateHttpTransport(m_store.CaFile)), m_snapshots(m_store.Password, m_store.EndToEndKey),
      m_client(
          m_store, [this](const std::string& section, const std::string& key) { return text(section, key); },
          *m_transport, m_snapshots)
{
}

void ServiceSession::requireAccount() const
{
    if (m_store.Login.empty() || m_store.Password.empty())
        throw Error("No account is stored: run \"tern login EMAIL\" or \"tern register EMAIL\" first.");
}

std::string ReadInputBytes(const std::string& source, std::istream& in)
{
    if (source.empty() || source == "-") {
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.size() > kMaxInputBytes)
            throw FileError("The input is too large");
        return bytes;
    }
    std::optional<std::string> bytes = ReadFileBytes(source, kMaxInputBytes);
    if (!bytes)
        throw FileError("Cannot read \"" + source + "\"");
    return std::move(*bytes);
}

} // namespace tern::tool
