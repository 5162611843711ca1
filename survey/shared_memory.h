#pragma once
// CSharedMemory: one named block that a sibling program reads ("MyData", "RostrelData",
// "MandroveData"). The block stays mapped until Close or the holder's end, so that the child
// can open it by name after we started it; the workspace removes the blocks at shut-down.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/shared_block.h"

namespace velk {

class CSharedMemory {
public:
    // Creates the block (or opens the one of that name), at least `size` bytes, and maps it
    // for writing. The address, or null with the reason in *error (nothing held then).
    uint8_t* Create(const std::string& name, size_t size, std::string* error = nullptr);
    // Unmaps what is held.
    void Close();

    uint8_t* Address() const { return block_.Data(); }
    size_t Size() const { return block_.Size(); }
    const std::string& Name() const { return block_.Name(); }

private:
    SharedBlock block_;
};

}  // namespace velk
