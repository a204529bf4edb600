#pragma once

namespace tern {

// The capture and transfer commands of the tray.
enum class TCommand {
    cmdRemoteCopy,
    cmdRemotePaste,
    cmdShareClipboard,
    cmdShareScreen,
    cmdShareWindow,
    cmdShareArea,
    cmdReshareSnapshot
};

} // namespace tern
