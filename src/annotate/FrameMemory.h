#pragma once

namespace tern {

// Hands memory the program has freed back to the system where the allocator keeps freed pages for
// reuse (large pictures freed after smaller allocations otherwise stay resident). Any thread.
void ReturnFreedMemory() noexcept;

} // namespace tern
