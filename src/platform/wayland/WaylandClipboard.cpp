#include "platform/wayland/WaylandClipboard.h"

#include "clipboard/MimeFormatTable.h"
#include "platform/qt/MimeClipboardTypes.h"
#include "platform/qt/QtBitmap.h"
#include "platform/wayland/OfferedContent.h"
#include "platform/wayland/WaylandSession.h"
#include "util/Errors.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QString>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace tern::platform::wayland {

namespace {

const char* const kCannotOpen = "Cannot open clipboard";

// The text types in the order they are read: the ones that say UTF-8 first.
const std::vector<std::string> kTextReadOrder = {"text/plain;charset=utf-8", "text/plain; charset=utf-8",
                                                 "UTF8_STRING", "text/plain"};

// The clipboard of this process whose selection is current, if any: reads are answered from its copy,
// also for another instance, which could not serve its pipe while this one waits for it.
WaylandClipboard*& ownerInProcess()
{
    static WaylandClipboard* owner = nullptr;
    return owner;
}

bool sameType(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

} // namespace

// The event handlers of the data device, its offers and our sources.
struct ClipboardListeners
{
    static WaylandClipboard* self(void* data) { return static_cast<WaylandClipboard*>(data); }

    static void dataOffer(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer)
    {
        auto announced = std::make_unique<WaylandClipboard::Offer>();
        announced->offer = offer;
        zwlr_data_control_offer_v1_add_listener(offer, &kOffer, announced.get());
        self(data)->m_announced.push_back(std::move(announced));
    }
    static void selection(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer)
    {
        WaylandClipboard* clipboard = self(data);
        clipboard->dropOffer(clipboard->m_selection);
        for (auto& announced : clipboard->m_announced) {
            if (announced->offer == offer)
                clipboard->m_selection = std::move(announced);
            else
                clipboard->dropOffer(announced);
        }
        clipboard->m_announced.clear();
        ++clipboard->m_sequence;
    }
    static void finished(void* data, zwlr_data_control_device_v1*)
    {
        WaylandClipboard* clipboard = self(data);
        zwlr_data_control_device_v1_destroy(clipboard->m_device);
        clipboard->m_device = nullptr;
    }
    static void primarySelection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer)
    {
        // Never asked for: the device is bound without the primary selection.
        if (offer)
            zwlr_data_control_offer_v1_destroy(offer);
    }

    static void offerType(void* data, zwlr_data_control_offer_v1*, const char* type)
    {
        static_cast<WaylandClipboard::Offer*>(data)->types.emplace_back(type);
    }

    static void send(void* data, zwlr_data_control_source_v1* source, const char* type, std::int32_t fd)
    {
        WaylandClipboard* clipboard = self(data);
        if (source != clipboard->m_source || !clipboard->m_ownContent) {
            ::close(fd);
            return;
        }
        clipboard->m_feeder.feed(fd, OfferedBytes(*clipboard->m_ownContent, type));
    }
    static void cancelled(void* data, zwlr_data_control_source_v1* source)
    {
        WaylandClipboard* clipboard = self(data);
        if (source == clipboard->m_source) {
            if (ownerInProcess() == clipboard)
                ownerInProcess() = nullptr;
            clipboard->m_source = nullptr;
            clipboard->m_ownContent.reset();
            clipboard->m_ownTypes.clear();
        }
        zwlr_data_control_source_v1_destroy(source);
    }

    static constexpr zwlr_data_control_device_v1_listener kDevice = {dataOffer, selection, finished,
                                                                     primarySelection};
    static constexpr zwlr_data_control_offer_v1_listener kOffer = {offerType};
    static constexpr zwlr_data_control_source_v1_listener kSource = {send, cancelled};
};

WaylandClipboard::WaylandClipboard() : m_session(WaylandSession::shared())
{
    if (!m_session || m_session->dataControl() == nullptr || m_session->seat() == nullptr)
        throw Error(kCannotOpen);
    m_device = zwlr_data_control_manager_v1_get_data_device(m_session->dataControl(), m_session->seat());
    zwlr_data_control_device_v1_add_listener(m_device, &ClipboardListeners::kDevice, this);
    // The compositor announces the current selection at once.
    if (!m_session->roundtrip())
        throw Error(kCannotOpen);
}

WaylandClipboard::~WaylandClipboard()
{
    dropOffer(m_selection);
    for (auto& announced : m_announced)
        dropOffer(announced);
    // Our selection goes with us: nobody could read it once we are gone.
    if (ownerInProcess() == this)
        ownerInProcess() = nullptr;
    if (m_source)
        zwlr_data_control_source_v1_destroy(m_source);
    if (m_device)
        zwlr_data_control_device_v1_destroy(m_device);
    m_session->roundtrip(500);
}

void WaylandClipboard::dropOffer(std::unique_ptr<Offer>& offer)
{
    if (offer && offer->offer)
        zwlr_data_control_offer_v1_destroy(offer->offer);
    offer.reset();
}

std::vector<std::string> WaylandClipboard::offeredTypes()
{
    m_session->serveArrived();
    if (!m_session->healthy() || m_device == nullptr)
        throw Error(kCannotOpen);
    if (const WaylandClipboard* owner = ownerInProcess(); owner && owner->m_source)
        return owner->m_ownTypes;
    return m_selection ? m_selection->types : std::vector<std::string>();
}

std::string WaylandClipboard::pickType(const std::vector<std::string>& wanted)
{
    const std::vector<std::string> offered = offeredTypes();
    for (const std::string& type : wanted) {
        const auto found = std::find_if(offered.begin(), offered.end(),
                                        [&type](const std::string& name) { return sameType(name, type); });
        if (found != offered.end())
            return *found;
    }
    return {};
}

std::optional<QByteArray> WaylandClipboard::read(const std::string& type)
{
    if (const WaylandClipboard* owner = ownerInProcess(); owner && owner->m_source && owner->m_ownContent)
        return OfferedBytes(*owner->m_ownContent, type);
    if (!m_selection)
        return std::nullopt;
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw Error(kCannotOpen);
    zwlr_data_control_offer_v1_receive(m_selection->offer, type.c_str(), fds[1]);
    ::close(fds[1]);
    QByteArray bytes;
    bool ended = false;
    const auto take = [&] {
        char chunk[65536];
        for (;;) {
            const ssize_t got = ::read(fds[0], chunk, sizeof chunk);
            if (got > 0) {
                bytes.append(chunk, got);
                continue;
            }
            if (got < 0 && errno == EINTR)
                continue;
            ended = got == 0 || errno != EAGAIN;
            return;
        }
    };
    const bool complete = m_session->serveUntil([&ended] { return ended; }, kReadTimeoutMs, fds[0], take);
    ::close(fds[0]);
    if (!complete)
        return std::nullopt;
    return bytes;
}

std::vector<std::uint32_t> WaylandClipboard::formats()
{
    std::vector<std::uint32_t> result;
    for (const std::string& type : offeredTypes()) {
        const std::optional<std::uint32_t> format = qt::FormatOfMimeType(type);
        if (format && std::find(result.begin(), result.end(), *format) == result.end())
            result.push_back(*format);
    }
    return result;
}

bool WaylandClipboard::hasFormat(std::uint32_t format)
{
    const std::vector<std::uint32_t> offered = formats();
    return std::find(offered.begin(), offered.end(), format) != offered.end();
}

std::optional<std::string> WaylandClipboard::data(std::uint32_t format)
{
    if (format == kFormatBitmap)
        return std::nullopt;
    if (format == kFormatUnicodeText) {
        const std::string type = pickType(kTextReadOrder);
        const std::optional<QByteArray> bytes = type.empty() ? std::nullopt : read(type);
        if (!bytes || bytes->isEmpty())
            return std::nullopt;
        return qt::Utf16LeWithZero(QString::fromUtf8(*bytes));
    }
    const std::optional<std::string_view> fixed = MimeForFormat(format);
    const std::string mime = fixed ? std::string(*fixed) : qt::OwnFormatName(format);
    const std::string type = mime.empty() ? std::string() : pickType({mime});
    const std::optional<QByteArray> bytes = type.empty() ? std::nullopt : read(type);
    if (!bytes || bytes->isEmpty())
        return std::nullopt;
    return std::string(bytes->constData(), static_cast<std::size_t>(bytes->size()));
}

std::optional<Bitmap> WaylandClipboard::bitmap()
{
    // PNG first: every program that offers a picture offers it, and it loses nothing.
    std::vector<std::string> wanted = {"image/png"};
    for (const std::string& type : offeredTypes()) {
        if (qt::IsImageType(QString::fromStdString(type)))
            wanted.push_back(type);
    }
    const std::string type = pickType(wanted);
    if (type.empty())
        return std::nullopt;
    const std::optional<QByteArray> bytes = read(type);
    if (!bytes || bytes->isEmpty())
        return std::nullopt;
    const QImage picture = QImage::fromData(*bytes);
    if (picture.isNull())
        return std::nullopt;
    return qt::BitmapFromImage(picture);
}

std::string WaylandClipboard::formatName(std::uint32_t format)
{
    return qt::OwnFormatName(format);
}

void WaylandClipboard::takeSelection(std::unique_ptr<QMimeData> content)
{
    if (!m_session->healthy() || m_device == nullptr)
        throw Error(kCannotOpen);
    zwlr_data_control_source_v1* source =
        zwlr_data_control_manager_v1_create_data_source(m_session->dataControl());
    zwlr_data_control_source_v1_add_listener(source, &ClipboardListeners::kSource, this);
    std::vector<std::string> types = OfferedTypes(*content);
    for (const std::string& type : types)
        zwlr_data_control_source_v1_offer(source, type.c_str());
    zwlr_data_control_device_v1_set_selection(m_device, source);
    // The source we replace is cancelled by the compositor and destroyed then.
    m_source = source;
    ownerInProcess() = this;
    m_ownContent = std::move(content);
    m_ownTypes = std::move(types);
    if (!m_session->roundtrip())
        throw Error(kCannotOpen);
}

bool WaylandClipboard::replace(std::vector<ClipboardEntry> entries)
{
    std::unique_ptr<QMimeData> content = qt::MimeDataOfEntries(std::move(entries));
    if (!content)
        return false;
    takeSelection(std::move(content));
    return true;
}

void WaylandClipboard::setText(const std::string& utf8)
{
    auto content = std::make_unique<QMimeData>();
    content->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    takeSelection(std::move(content));
}

std::uint64_t WaylandClipboard::sequenceNumber()
{
    m_session->serveArrived();
    return m_sequence;
}

} // namespace tern::platform::wayland
