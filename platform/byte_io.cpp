#include "platform/byte_io.h"

#include "platform/atomic_file.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <utility>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velk {

namespace {

constexpr bool kNativeLittle = std::endian::native == std::endian::little;

inline uint16_t Swap(uint16_t v) { return __builtin_bswap16(v); }
inline uint32_t Swap(uint32_t v) { return __builtin_bswap32(v); }
inline uint64_t Swap(uint64_t v) { return __builtin_bswap64(v); }

// Bytes as stored in `order` to a native unsigned value, and back.
template <typename U>
U Decode(const uint8_t* bytes, ByteOrder order) {
    U v;
    std::memcpy(&v, bytes, sizeof v);
    if ((order == ByteOrder::Little) != kNativeLittle) v = Swap(v);
    return v;
}

template <typename U>
void Encode(U v, ByteOrder order, uint8_t* bytes) {
    if ((order == ByteOrder::Little) != kNativeLittle) v = Swap(v);
    std::memcpy(bytes, &v, sizeof v);
}

std::string ErrnoText(int err) {
    char buf[256];
    return ::strerror_r(err, buf, sizeof buf);
}

// Memory for a whole file. Large blocks are fresh anonymous pages advised as huge pages: a
// 64 MiB record then takes a few dozen page faults instead of sixteen thousand, which is most
// of the cost of reading it from the page cache.
class FileBlock {
public:
    static constexpr size_t kHugePage = size_t{2} << 20;

    FileBlock() = default;
    FileBlock(FileBlock&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), mapped_(std::exchange(other.mapped_, 0))
    {
    }
    FileBlock& operator=(FileBlock&& other) noexcept
    {
        if (this != &other) {
            Free();
            data_ = std::exchange(other.data_, nullptr);
            mapped_ = std::exchange(other.mapped_, 0);
        }
        return *this;
    }
    ~FileBlock() { Free(); }

    // Throws std::bad_alloc.
    static FileBlock Make(size_t bytes)
    {
        FileBlock b;
        if (bytes >= kHugePage) {
            const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
            void* p = ::mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            (void)::madvise(p, rounded, MADV_HUGEPAGE);  // advice only
            b.data_ = static_cast<uint8_t*>(p);
            b.mapped_ = rounded;
        } else {
            b.data_ = new uint8_t[bytes > 0 ? bytes : 1];
        }
        return b;
    }

    uint8_t* get() const { return data_; }
    void reset() { Free(); }

private:
    void Free() noexcept
    {
        if (mapped_ != 0) {
            ::munmap(data_, mapped_);
        } else {
            delete[] data_;
        }
        data_ = nullptr;
        mapped_ = 0;
    }

    uint8_t* data_ = nullptr;
    size_t mapped_ = 0;  // 0: from new[]
};

}  // namespace

// The bytes are always in memory: a caller's span, or a whole file read once into an owned
// block. Reads are copies out of that block, so bulk reads run at memory speed.
struct ByteSource::Impl {
    const uint8_t* data = nullptr;
    uint64_t size = 0;
    uint64_t pos = 0;
    bool ok = true;
    std::string error;
    FileBlock owned;

    // Takes up to `want` bytes; returns the count and the start, and consumes them.
    size_t Take(size_t want, const uint8_t*& start) {
        uint64_t left = size - pos;
        size_t n = want < left ? want : static_cast<size_t>(left);
        start = data + pos;
        pos += n;
        return n;
    }
};

ByteSource::ByteSource(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ByteSource::ByteSource(ByteSource&&) noexcept = default;
ByteSource& ByteSource::operator=(ByteSource&&) noexcept = default;
ByteSource::~ByteSource() = default;

ByteSource ByteSource::FromSpan(std::span<const uint8_t> bytes) {
    auto impl = std::make_unique<Impl>();
    impl->data = bytes.data();
    impl->size = bytes.size();
    return ByteSource(std::move(impl));
}

namespace {

// Reads all of `fd` into a block. Regular files are read at their size (a file that shrinks
// meanwhile gives what was there); other files (pipes) are read to their end.
bool ReadWholeFile(int fd, FileBlock& block, uint64_t& size, std::string& error) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        error = ErrnoText(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = ErrnoText(EISDIR);
        return false;
    }
    // Some regular files (under /proc) say 0 bytes and still have contents.
    const bool fixedSize = S_ISREG(st.st_mode) && st.st_size > 0;
    size_t capacity = fixedSize ? static_cast<size_t>(st.st_size) : 64 * 1024;
    size_t got = 0;
    try {
        block = FileBlock::Make(capacity);
        for (;;) {
            if (got == capacity) {
                if (fixedSize) break;  // the size it had when opened
                size_t bigger = capacity * 2;
                FileBlock grown = FileBlock::Make(bigger);
                std::memcpy(grown.get(), block.get(), got);
                block = std::move(grown);
                capacity = bigger;
            }
            ssize_t n = ::read(fd, block.get() + got, capacity - got);
            if (n < 0) {
                if (errno == EINTR) continue;
                error = ErrnoText(errno);
                return false;
            }
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
    } catch (const std::bad_alloc&) {
        error = "not enough memory for the file";
        return false;
    }
    size = got;
    return true;
}

}  // namespace

ByteSource ByteSource::FromFile(const std::string& path) {
    auto impl = std::make_unique<Impl>();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        impl->ok = false;
        impl->error = "cannot open \"" + path + "\": " + ErrnoText(errno);
        return ByteSource(std::move(impl));
    }
    std::string error;
    uint64_t size = 0;
    if (ReadWholeFile(fd, impl->owned, size, error)) {
        impl->data = impl->owned.get();
        impl->size = size;
    } else {
        impl->owned.reset();
        impl->ok = false;
        impl->error = "cannot read \"" + path + "\": " + error;
    }
    ::close(fd);
    return ByteSource(std::move(impl));
}

bool ByteSource::Ok() const { return impl_ && impl_->ok; }
const std::string& ByteSource::Error() const {
    static const std::string kMoved = "moved-from byte source";
    return impl_ ? impl_->error : kMoved;
}
uint64_t ByteSource::Size() const { return impl_ ? impl_->size : 0; }
uint64_t ByteSource::Position() const { return impl_ ? impl_->pos : 0; }
uint64_t ByteSource::Remaining() const { return impl_ ? impl_->size - impl_->pos : 0; }

bool ByteSource::Seek(uint64_t position) {
    if (!impl_ || position > impl_->size) return false;
    impl_->pos = position;
    return true;
}

bool ByteSource::Skip(uint64_t count) {
    if (!impl_ || count > impl_->size - impl_->pos) return false;
    impl_->pos += count;
    return true;
}

std::span<const uint8_t> ByteSource::Peek(size_t size) const {
    if (!impl_) return {};
    uint64_t left = impl_->size - impl_->pos;
    size_t n = size < left ? size : static_cast<size_t>(left);
    return {impl_->data + impl_->pos, n};
}

size_t ByteSource::ReadBytes(void* dest, size_t size) {
    if (!impl_ || size == 0) return 0;
    const uint8_t* start = nullptr;
    size_t n = impl_->Take(size, start);
    if (n > 0) std::memcpy(dest, start, n);
    return n;
}

namespace {

// One typed read: the value changes only when all of its bytes were there.
template <typename U, typename T>
size_t ReadTyped(ByteSource& src, T& v, ByteOrder order) {
    static_assert(sizeof(U) == sizeof(T));
    uint8_t bytes[sizeof(U)];
    size_t n = src.ReadBytes(bytes, sizeof bytes);
    if (n == sizeof bytes) v = std::bit_cast<T>(Decode<U>(bytes, order));
    return n;
}

}  // namespace

size_t ByteSource::ReadI8(int8_t& v) {
    uint8_t b;
    size_t n = ReadBytes(&b, 1);
    if (n == 1) v = static_cast<int8_t>(b);
    return n;
}
size_t ByteSource::ReadU8(uint8_t& v) { return ReadBytes(&v, 1); }
size_t ByteSource::ReadI16(int16_t& v, ByteOrder order) { return ReadTyped<uint16_t>(*this, v, order); }
size_t ByteSource::ReadU16(uint16_t& v, ByteOrder order) { return ReadTyped<uint16_t>(*this, v, order); }
size_t ByteSource::ReadI32(int32_t& v, ByteOrder order) { return ReadTyped<uint32_t>(*this, v, order); }
size_t ByteSource::ReadU32(uint32_t& v, ByteOrder order) { return ReadTyped<uint32_t>(*this, v, order); }
size_t ByteSource::ReadF32(float& v, ByteOrder order) { return ReadTyped<uint32_t>(*this, v, order); }
size_t ByteSource::ReadF64(double& v, ByteOrder order) { return ReadTyped<uint64_t>(*this, v, order); }

ByteSink::ByteSink() = default;
ByteSink::ByteSink(AtomicFileWriter& file) : file_(&file) {
    if (file.Failed()) failed_ = true;
}

bool ByteSink::WriteBytes(const void* data, size_t size) {
    if (failed_) return false;
    if (size == 0) return true;
    if (file_) {
        if (!file_->Write(data, size)) {
            failed_ = true;
            return false;
        }
    } else {
        try {
            const uint8_t* bytes = static_cast<const uint8_t*>(data);
            buffer_.insert(buffer_.end(), bytes, bytes + size);
        } catch (const std::bad_alloc&) {
            failed_ = true;
            return false;
        }
    }
    written_ += size;
    return true;
}

namespace {

template <typename U, typename T>
bool WriteTyped(ByteSink& sink, T v, ByteOrder order) {
    static_assert(sizeof(U) == sizeof(T));
    uint8_t bytes[sizeof(U)];
    Encode<U>(std::bit_cast<U>(v), order, bytes);
    return sink.WriteBytes(bytes, sizeof bytes);
}

}  // namespace

bool ByteSink::WriteI8(int8_t v) { return WriteU8(static_cast<uint8_t>(v)); }
bool ByteSink::WriteU8(uint8_t v) { return WriteBytes(&v, 1); }
bool ByteSink::WriteI16(int16_t v, ByteOrder order) { return WriteTyped<uint16_t>(*this, v, order); }
bool ByteSink::WriteU16(uint16_t v, ByteOrder order) { return WriteTyped<uint16_t>(*this, v, order); }
bool ByteSink::WriteI32(int32_t v, ByteOrder order) { return WriteTyped<uint32_t>(*this, v, order); }
bool ByteSink::WriteU32(uint32_t v, ByteOrder order) { return WriteTyped<uint32_t>(*this, v, order); }
bool ByteSink::WriteF32(float v, ByteOrder order) { return WriteTyped<uint32_t>(*this, v, order); }
bool ByteSink::WriteF64(double v, ByteOrder order) { return WriteTyped<uint64_t>(*this, v, order); }

}  // namespace velk
