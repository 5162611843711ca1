#pragma once
// Explicit-endian binary reading and writing. A ByteSource reads from a file or a memory span
// and every read says how many bytes it really got; a ByteSink writes into memory or through an
// AtomicFileWriter and keeps a sticky error flag.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace velk {

class AtomicFileWriter;

enum class ByteOrder { Little, Big };

class ByteSource {
public:
    // Over bytes the caller keeps alive.
    static ByteSource FromSpan(std::span<const uint8_t> bytes);
    // Over a file, read whole into memory at once; Ok() is false (and the source empty) when
    // it cannot be opened or read, with the reason in Error().
    static ByteSource FromFile(const std::string& path);

    ByteSource(ByteSource&&) noexcept;
    ByteSource& operator=(ByteSource&&) noexcept;
    ~ByteSource();

    bool Ok() const;
    const std::string& Error() const;
    uint64_t Size() const;
    uint64_t Position() const;
    uint64_t Remaining() const;
    bool Seek(uint64_t position);  // false (position unchanged) beyond the end
    bool Skip(uint64_t count);  // false (position unchanged) beyond the end

    // Up to `size` bytes at the position, without consuming them; valid while the source
    // lives (and, for a span source, while the caller's bytes do). For bulk conversions.
    std::span<const uint8_t> Peek(size_t size) const;

    // Copies up to `size` bytes; returns the count actually read.
    size_t ReadBytes(void* dest, size_t size);

    // Each typed read returns the bytes it consumed (the full width on success). On a short
    // read the value is left unchanged and the bytes that were there are consumed.
    size_t ReadI8(int8_t& v);
    size_t ReadU8(uint8_t& v);
    size_t ReadI16(int16_t& v, ByteOrder order);
    size_t ReadU16(uint16_t& v, ByteOrder order);
    size_t ReadI32(int32_t& v, ByteOrder order);
    size_t ReadU32(uint32_t& v, ByteOrder order);
    size_t ReadF32(float& v, ByteOrder order);
    size_t ReadF64(double& v, ByteOrder order);

private:
    struct Impl;
    explicit ByteSource(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

class ByteSink {
public:
    ByteSink();                                 // collects into Bytes()
    explicit ByteSink(AtomicFileWriter& file);  // writes through the file

    bool Ok() const { return !failed_; }
    void MarkFailed() { failed_ = true; }
    uint64_t Written() const { return written_; }
    const std::vector<uint8_t>& Bytes() const { return buffer_; }

    bool WriteBytes(const void* data, size_t size);
    bool WriteText(const std::string& text) { return WriteBytes(text.data(), text.size()); }
    bool WriteI8(int8_t v);
    bool WriteU8(uint8_t v);
    bool WriteI16(int16_t v, ByteOrder order);
    bool WriteU16(uint16_t v, ByteOrder order);
    bool WriteI32(int32_t v, ByteOrder order);
    bool WriteU32(uint32_t v, ByteOrder order);
    bool WriteF32(float v, ByteOrder order);
    bool WriteF64(double v, ByteOrder order);

private:
    AtomicFileWriter* file_ = nullptr;
    std::vector<uint8_t> buffer_;
    uint64_t written_ = 0;
    bool failed_ = false;
};

}  // namespace velk
