#pragma once
// Named shared memory that a sibling program opens by name while we keep it mapped.
//
// A block called "MyData" is the POSIX object "/" + prefix + "MyData". The prefix is empty
// unless VELKARINE_SHM_PREFIX sets one at start (or a test sets it directly), so that test
// runs never meet the blocks of a running program. Every object this process opened stays
// until UnlinkSharedBlocks, which the workspace calls last at shut-down.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velk {

// The prefix of every block name: VELKARINE_SHM_PREFIX as read on first use, or what
// SetSharedBlockPrefix set.
const std::string& SharedBlockPrefix();
void SetSharedBlockPrefix(std::string prefix);
// "/" + prefix + name.
std::string SharedBlockObjectName(std::string_view name);

class SharedBlock {
public:
    SharedBlock() = default;
    ~SharedBlock();  // unmaps; the object itself stays for the child
    SharedBlock(const SharedBlock&) = delete;
    SharedBlock& operator=(const SharedBlock&) = delete;

    // Creates the block `name` (or opens the one of that name), grows it to at least `size`
    // bytes and maps `size` bytes for reading and writing. Closes what this holder had mapped
    // first. False with the reason in *error when any step fails (nothing mapped then). A
    // name must be non-empty and hold no '/'.
    bool Open(std::string_view name, size_t size, std::string* error = nullptr);
    void Close();

    uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }
    bool IsOpen() const { return data_ != nullptr; }
    const std::string& Name() const { return name_; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    std::string name_;
};

// Removes every object this process opened. Returns the reasons of the failures, one line
// each (empty when all went).
std::string UnlinkSharedBlocks();

}  // namespace velk
