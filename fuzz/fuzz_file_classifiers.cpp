// The file-type classifiers over arbitrary file contents and names: the first bytes choose a
// file name from a small set (so every name rule meets every content), the rest is the file.
// The code is always one of the table's, the file position is 0 afterwards, the content rule
// only ever turns a station name into SEG-2 or any name into 560QX, and the name-only
// classifier agrees with the content one wherever the content cannot matter.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "formats/file_roads.h"
#include "platform/byte_io.h"

namespace {

void Require(bool condition, const char* rule)
{
    if (!condition) {
        std::fprintf(stderr, "classifiers: %s\n", rule);
        std::abort();
    }
}

const char* const kNames[] = {
    "/d/shot.sg2", "/d/new.dat", "/d/st01.EW",  "/d/a.ud2",     "/d/x.org",   "/d/x.ORG", "/d/line.8hd",
    "/d/set.sgm",  "/d/p.QZ4",   "/d/r.dzt",    "/d/s.segy",    "/d/l.coh",   "ew.DAT",   "/x.org/shot",
    "c:\\a.org\\b", "",          "/d/ud.dat.sgy", "/d/NS.DAT", "/d/a.sg2.org", "/d/noext",
};
constexpr size_t kNameCount = sizeof kNames / sizeof kNames[0];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const std::string name = kNames[data[0] % kNameCount];
    const int check = (data[0] / kNameCount) % 2;
    const std::span<const uint8_t> bytes(data + 1, size - 1);

    velk::ByteSource file = velk::ByteSource::FromSpan(bytes);
    file.Seek(bytes.size() / 2);
    int kind = -7;
    const int code = velk::FileTypeFromContent(name, check, file, &kind);
    Require(code >= 0 && code < velk::kFileTypeCount, "code outside the table");
    Require(file.Position() == 0, "the file position is not 0 afterwards");
    Require(kind == -7 || kind == velk::kRecordCoherence, "a record kind other than coherence");
    Require(kind == -7 || code == velk::kFileSeg2, "coherence for a code other than SEG-2");

    // The name rules alone, without the .ORG check (which reads the file).
    const int byName = velk::FileTypeFromExtension(name, 0);
    Require(byName >= 0 && byName < velk::kFileTypeCount, "name code outside the table");
    if (code != byName) {
        const bool qx = code == velk::kFile560QX;
        const bool seg2ForStation = code == velk::kFileSeg2 &&
                                    (byName == velk::kFileStrongMotionText || byName == velk::kFileThreeComponentDat ||
                                     byName == velk::kFileTorvaneOrg);
        const bool orgFallThrough = check == 1 && byName == velk::kFileTorvaneOrg;
        Require(qx || seg2ForStation || orgFallThrough, "the content changed a code it may not change");
    }
    if (code == velk::kFile560QX) Require(velk::Is560QXHeader(file), "560QX without the model text");
    Require(file.Position() == 0, "the predicates moved the file");

    const int member = velk::FileTypeOfGroupMember(name, 0);
    Require(member >= velk::kFileUnclaimed && member < velk::kFileTypeCount, "member code outside the table");
    Require(member != velk::kFileThreeComponentDat, "a group member classified as three-component");
    return 0;
}
