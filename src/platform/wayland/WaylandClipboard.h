#pragma once

#include "platform/Clipboard.h"
#include "platform/wayland/PipeFeeder.h"

#include <QByteArray>

#include <memory>
#include <string>
#include <vector>

class QMimeData;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_source_v1;

namespace tern::platform::wayland {

class WaylandSession;

// The clipboard (the seat's selection) through the wlroots data-control protocol: read and set
// without a focused window, every MIME type on offer numbered as on X11 (platform/qt/
// MimeClipboardTypes.h). The change count moves with each selection the compositor announces, our
// own included, while the GUI thread serves events (or one of these methods asks). Reads wait for the
// owner with a bounded time-out while serving events; a selection we own is answered from our own copy.
// GUI thread only.
class WaylandClipboard final : public SystemClipboard
{
public:
    // Throws tern::Error("Cannot open clipboard") without a compositor or without the protocol.
    WaylandClipboard();
    ~WaylandClipboard() override;
    WaylandClipboard(const WaylandClipboard&) = delete;
    WaylandClipboard& operator=(const WaylandClipboard&) = delete;

    std::vector<std::uint32_t> formats() override;
    bool hasFormat(std::uint32_t format) override;
    std::optional<std::string> data(std::uint32_t format) override;
    std::optional<Bitmap> bitmap() override;
    std::string formatName(std::uint32_t format) override;
    // Throws tern::Error before touching the clipboard when an entry cannot be converted, and "Cannot
    // open clipboard" when the compositor did not take the new selection.
    bool replace(std::vector<ClipboardEntry> entries) override;
    void setText(const std::string& utf8) override;
    std::uint64_t sequenceNumber() override;

    // How long a read waits for the selection's owner to send its data.
    static constexpr int kReadTimeoutMs = 5000;

private:
    struct Offer
    {
        zwlr_data_control_offer_v1* offer = nullptr;
        std::vector<std::string> types;
    };
    friend struct ClipboardListeners;

    // The MIME types on offer now: ours while we own the selection, else the selection offer's.
    std::vector<std::string> offeredTypes();
    // The first of `wanted` on offer (compared without regard to case); empty when none is.
    std::string pickType(const std::vector<std::string>& wanted);
    std::optional<QByteArray> read(const std::string& type);
    void takeSelection(std::unique_ptr<QMimeData> content);
    void dropOffer(std::unique_ptr<Offer>& offer);

    std::shared_ptr<WaylandSession> m_session;
    zwlr_data_control_device_v1* m_device = nullptr;
    std::vector<std::unique_ptr<Offer>> m_announced;
    std::unique_ptr<Offer> m_selection;
    zwlr_data_control_source_v1* m_source = nullptr;
    std::unique_ptr<QMimeData> m_ownContent;
    std::vector<std::string> m_ownTypes;
    std::uint64_t m_sequence = 1;
    PipeFeeder m_feeder;
};

} // namespace tern::platform::wayland
