// Any bytes as a zip file, as an archive import takes them: refused with a reason, or read into
// members that written again and read back are the same members. Never more than the limit.
#include "files/ZipFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orven;
    std::string why;
    const auto members = ReadZip(std::span(data, size), why);
    if (!members) {
        if (why.empty()) fuzz::Fail("a refusal without a reason");
        return 0;
    }
    std::size_t total = 0;
    for (const ZipMember& m : *members) total += m.bytes.size();
    if (total > kMaxZipContentBytes) fuzz::Fail("more than the limit unpacked");
    const std::vector<std::uint8_t> again = WriteZip(*members, {});
    const auto back = ReadZip(again, why);
    if (!back) fuzz::Fail("own zip refused");
    if (back->size() != members->size()) fuzz::Fail("members lost");
    for (std::size_t i = 0; i < back->size(); ++i)
        if ((*back)[i].name != (*members)[i].name || (*back)[i].bytes != (*members)[i].bytes) fuzz::Fail("a member changed");
    return 0;
}
