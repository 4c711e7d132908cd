// A library file found beside the program is outside input: any length,
// any bytes. The reader must neither read past them nor disagree with
// itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "../../host/logic/modulefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // libFuzzer hands over exactly `size` bytes on the heap, so a read past
    // the length given is an AddressSanitizer error.
    const uint32_t length = uint32_t(size);
    TPeExports exports;
    bool read = ReadPeExports(data, length, &exports);
    if (exports.Contract & ~uint32_t(kContractExports))
        std::abort();
    if (!read && (exports.Contract != 0 || exports.NameCount != 0))
        std::abort();
    // A name the contract counts is a name in the table.
    if (exports.Contract && exports.NameCount == 0)
        std::abort();
    bool module = read && (exports.Contract & kListedExports) == kListedExports;
    if (IsModuleImage(data, length, kMachineI386) != (module && exports.Machine == kMachineI386))
        std::abort();
    if (IsModuleImage(data, length, kMachineAmd64) != (module && exports.Machine == kMachineAmd64))
        std::abort();
    return 0;
}
