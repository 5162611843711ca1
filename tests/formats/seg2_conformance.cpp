#include "seg2_conformance.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace seg2_conformance {

namespace {

uint32_t Word16(std::span<const uint8_t> f, size_t at) { return f[at] | (static_cast<uint32_t>(f[at + 1]) << 8); }

uint32_t Word32(std::span<const uint8_t> f, size_t at)
{
    return f[at] | (static_cast<uint32_t>(f[at + 1]) << 8) | (static_cast<uint32_t>(f[at + 2]) << 16) |
           (static_cast<uint32_t>(f[at + 3]) << 24);
}

struct Terminators {
    std::string text;  // the string terminator (1 or 2 characters)
    std::string line;  // the line terminator (0 to 2 characters)
};

std::string Where(const char* what, long long a) { return std::string(what) + " " + std::to_string(a); }

// Reads a string list from `begin`; every entry and the closing 0 must end before `end`.
void ReadList(std::span<const uint8_t> f, size_t begin, size_t end, const Terminators& term, const std::string& owner,
              std::vector<std::string>& out, std::vector<std::string>& problems, size_t& listEnd)
{
    size_t at = begin;
    for (int guard = 0; guard < 100000; ++guard) {
        if (at + 2 > end) {
            problems.push_back(owner + ": string list runs past its block (no closing 0 distance)");
            listEnd = end;
            return;
        }
        const uint32_t distance = Word16(f, at);
        if (distance == 0) {
            listEnd = at + 2;
            return;
        }
        const size_t next = at + distance;
        if (distance < 2 + 1 + term.text.size()) {
            problems.push_back(owner + Where(": string entry at byte", static_cast<long long>(at)) + " is too short");
            listEnd = end;
            return;
        }
        if (next > end) {
            problems.push_back(owner + Where(": string entry at byte", static_cast<long long>(at)) +
                               " runs past its block");
            listEnd = end;
            return;
        }
        // The text ends at the first terminator inside the entry.
        const std::string entry(f.begin() + static_cast<std::ptrdiff_t>(at + 2), f.begin() + static_cast<std::ptrdiff_t>(next));
        const size_t stop = entry.find(term.text);
        if (stop == std::string::npos) {
            problems.push_back(owner + Where(": string entry at byte", static_cast<long long>(at)) + " has no terminator");
        } else {
            const std::string text = entry.substr(0, stop);
            if (text.empty()) problems.push_back(owner + Where(": empty string at byte", static_cast<long long>(at)));
            for (unsigned char c : text) {
                const bool printable = c >= 0x20 && c <= 0x7E;
                const bool lineBreak = term.line.find(static_cast<char>(c)) != std::string::npos;
                if (!printable && !lineBreak) {
                    problems.push_back(owner + Where(": non-text byte in the string at byte", static_cast<long long>(at)));
                    break;
                }
            }
            out.push_back(text);
        }
        at = next;
    }
    problems.push_back(owner + ": string list does not end");
    listEnd = end;
}

int BytesPerSampleTimesTwo(int code)
{
    switch (code) {
    case 1: return 4;
    case 2: return 8;
    case 3: return 5;
    case 4: return 8;
    case 5: return 16;
    default: return 0;
    }
}

}  // namespace

std::string Report::Describe() const
{
    std::string s;
    for (const std::string& p : problems) s += p + "\n";
    return s;
}

std::string Report::TraceValue(size_t t, const std::string& key) const
{
    if (t >= traces.size()) return {};
    for (const std::string& s : traces[t].strings)
        if (s.size() > key.size() && s.compare(0, key.size(), key) == 0 && s[key.size()] == ' ')
            return s.substr(key.size() + 1);
    return {};
}

Report Check(std::span<const uint8_t> f)
{
    Report r;
    auto fail = [&](std::string text) { r.problems.push_back(std::move(text)); };
    const size_t size = f.size();
    if (size < 32) {
        fail("file shorter than the 32-byte file descriptor");
        return r;
    }
    if (Word16(f, 0) != 0x3A55) fail("file descriptor block ID is not 0x3A55");
    r.revision = static_cast<int>(Word16(f, 2));
    if (r.revision != 1) fail(Where("revision number is", r.revision));
    r.pointerTableSize = Word16(f, 4);
    r.traceCount = Word16(f, 6);
    if (r.pointerTableSize % 4 != 0) fail("trace pointer sub-block size M is not a multiple of 4");
    if (r.pointerTableSize < 4 * r.traceCount) fail("M is smaller than 4N");
    Terminators term;
    const int stringTermSize = f[8];
    const int lineTermSize = f[11];
    if (stringTermSize < 1 || stringTermSize > 2) fail("string terminator size is not 1 or 2");
    if (lineTermSize > 2) fail("line terminator size is above 2");
    term.text.assign(reinterpret_cast<const char*>(&f[9]), static_cast<size_t>(std::clamp(stringTermSize, 1, 2)));
    term.line.assign(reinterpret_cast<const char*>(&f[12]), static_cast<size_t>(std::min(lineTermSize, 2)));
    const size_t stringsStart = 32 + static_cast<size_t>(r.pointerTableSize);
    if (stringsStart > size) {
        fail("the trace pointer sub-block runs past the end of the file");
        return r;
    }

    // Trace pointers; the file descriptor's strings end where the first trace block begins.
    std::vector<uint32_t> pointers;
    for (uint32_t i = 0; i < r.traceCount; ++i) pointers.push_back(Word32(f, 32 + 4 * static_cast<size_t>(i)));
    size_t firstBlock = size;
    for (uint32_t p : pointers) firstBlock = std::min<size_t>(firstBlock, p);
    if (firstBlock < stringsStart) firstBlock = stringsStart;
    size_t fileListEnd = stringsStart;
    ReadList(f, stringsStart, firstBlock, term, "file descriptor", r.fileStrings, r.problems, fileListEnd);

    std::vector<std::pair<uint64_t, uint64_t>> extents = {{0, fileListEnd}};
    for (uint32_t i = 0; i < r.traceCount; ++i) {
        const std::string owner = Where("trace", i + 1);
        TraceInfo t;
        t.pointer = pointers[i];
        if (static_cast<uint64_t>(t.pointer) + 32 > size) {
            fail(owner + ": descriptor block outside the file");
            r.traces.push_back(t);
            continue;
        }
        if (Word16(f, t.pointer) != 0x4422) fail(owner + ": trace descriptor block ID is not 0x4422");
        t.blockSize = Word16(f, t.pointer + 2);
        t.dataSize = Word32(f, t.pointer + 4);
        t.samples = Word32(f, t.pointer + 8);
        t.formatCode = f[t.pointer + 12];
        if (t.blockSize < 32) fail(owner + ": block size below 32");
        if (t.blockSize % 4 != 0) fail(owner + ": block size not a multiple of 4");
        const int twice = BytesPerSampleTimesTwo(t.formatCode);
        if (twice == 0) {
            fail(owner + Where(": data format code", t.formatCode));
        } else {
            const uint64_t expected = static_cast<uint64_t>(t.samples) * static_cast<uint64_t>(twice) / 2;
            const uint64_t groups = (static_cast<uint64_t>(t.samples) + 3) / 4 * 10;
            const bool sizeOk = t.dataSize == expected || (t.formatCode == 3 && t.dataSize == groups);
            if (!sizeOk) fail(owner + ": data block size does not match the number of samples and the format code");
        }
        const uint64_t blockEnd = static_cast<uint64_t>(t.pointer) + t.blockSize;
        const uint64_t dataEnd = blockEnd + t.dataSize;
        if (blockEnd > size) fail(owner + ": descriptor block runs past the end of the file");
        if (dataEnd > size) fail(owner + ": data block runs past the end of the file");
        size_t listEnd = 0;
        if (t.blockSize >= 32 && blockEnd <= size)
            ReadList(f, t.pointer + 32, static_cast<size_t>(blockEnd), term, owner, t.strings, r.problems, listEnd);
        extents.push_back({t.pointer, dataEnd});
        r.traces.push_back(std::move(t));
        const std::string interval = r.TraceValue(r.traces.size() - 1, "SAMPLE_INTERVAL");
        char* end = nullptr;
        const double seconds = interval.empty() ? 0.0 : std::strtod(interval.c_str(), &end);
        if (interval.empty()) {
            fail(owner + ": no SAMPLE_INTERVAL string");
        } else if (end == interval.c_str() || !(seconds > 0.0)) {
            fail(owner + ": SAMPLE_INTERVAL is not a positive number");
        }
    }

    std::sort(extents.begin(), extents.end());
    for (size_t i = 1; i < extents.size(); ++i)
        if (extents[i].first < extents[i - 1].second)
            fail(Where("blocks overlap at byte", static_cast<long long>(extents[i].first)));
    return r;
}

}  // namespace seg2_conformance
