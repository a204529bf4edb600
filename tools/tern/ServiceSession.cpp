#include "ServiceSession.h"

#include "clipboard/ClipboardFormat.h"
#include "clipboard/KeyedSnapshot.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"
#include "util/TextEncoding.h"
#include "util/TextRoutines.h"

#include <filesystem>
#include <istream>
#include <iterator>

namespace tern::tool {

namespace {

// "is too large: the limit is 5,000,000 bytes" for `what` and its limit.
std::string tooLargeText(const std::string& what, size_t maxBytes)
{
    return what + " is too large: the limit is " + GroupedDigits(maxBytes) + " bytes.";
}

} // namespace

bool ToolSnapshots::restoreSnapshot(const std::string& stream)
{
    // The items stay compressed; whoever reads one decodes it, so at most one item is held decoded.
    size_t position = 0;
    restored.clear();
    LoadKeyedSnapshot(stream, position, m_password, m_passphrase, {}, restored);
    restoredStream = stream;
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
      m_settings(m_store),
      m_client(
          m_settings,
          [this](const std::string& section, const std::string& key) { return text(section, key); },
          *m_transport, m_snapshots)
{
}

void ServiceSession::requireAccount() const
{
    if (m_store.Login.empty() || m_store.Password.empty())
        throw Error("No account is stored: run \"tern login EMAIL\" or \"tern register EMAIL\" first.");
}

std::string ReadInputBytes(const std::string& source, std::istream& in, size_t maxBytes)
{
    if (source.empty() || source == "-") {
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.size() > maxBytes)
            throw FileError(tooLargeText("The input", maxBytes));
        return bytes;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(source, error);
    if (!error && size > maxBytes)
        throw FileError(tooLargeText("\"" + source + "\"", maxBytes));
    std::optional<std::string> bytes = ReadFileBytes(source, maxBytes);
    if (!bytes)
        throw FileError("Cannot read \"" + source + "\"");
    return std::move(*bytes);
}

} // namespace tern::tool
