// The settings file is outside input: any length, any bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "../../common/logic/settingsfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // libFuzzer hands over exactly `size` bytes on the heap, so a read past
    // the length given is an AddressSanitizer error.
    const uint32_t length = uint32_t(size);
    uint8_t before[kSettingsSize];
    for (uint32_t i = 0; i < kSettingsSize; ++i)
        before[i] = uint8_t(0xC3 ^ i);

    TSettings record;
    std::memcpy(&record, before, kSettingsSize);
    DecodeSettings(data, length, &record);

    uint8_t encoded[kSettingsSize];
    EncodeSettings(record, encoded);
    // The bytes the file has, then the record's own.
    for (uint32_t i = 0; i < kSettingsSize; ++i)
        if (encoded[i] != (i < length ? data[i] : before[i]))
            std::abort();

    // What is saved reads back as the same record, and saves the same again.
    TSettings again = kDefaultSettings;
    DecodeSettings(encoded, kSettingsSize, &again);
    uint8_t reencoded[kSettingsSize];
    EncodeSettings(again, reencoded);
    if (std::memcmp(encoded, reencoded, kSettingsSize) != 0)
        std::abort();

    TSettings assigned = kDefaultSettings;
    AssignSettings(&assigned, record);
    if (std::memcmp(&assigned, &record, kSettingsSize) != 0)
        std::abort();
    return 0;
}
