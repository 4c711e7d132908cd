#include "modulefile.h"

namespace {

// Offsets inside the image headers.
enum : uint32_t {
    kDosSize = 64,
    kDosNewHeader = 0x3C,
    kFileHeaderSize = 20,
    kSectionSize = 40,
    kExportDirectorySize = 40,
    kMagicPe32 = 0x10B,
    kMagicPe32Plus = 0x20B,
    // The optional header up to the export directory's entry, in either layout.
    kOptionalRead = 120,
    // The most sections the system's loader takes; it also keeps each
    // lookup of an RVA short whatever the file claims.
    kMaxSections = 96,
    // Name pointers read at a time.
    kNameChunk = 64,
    // Bytes of a name compared: the longest contract name and its zero.
    kNameRead = 16,
};

struct TImage {
    const TPeSource* Source;
    uint32_t Size;
    uint32_t SectionCount; // all of them lie inside the file
    uint8_t Sections[kMaxSections * kSectionSize];
};

// Whether [offset, offset + length) lies inside the file; in 64 bits, so
// that no sum of two file values wraps.
bool Inside(const TImage& image, uint64_t offset, uint64_t length)
{
    return offset <= image.Size && length <= image.Size - offset;
}

// `length` bytes at `offset`, only from inside the file.
bool Fetch(const TImage& image, uint64_t offset, uint32_t length, uint8_t* into)
{
    return Inside(image, offset, length) &&
           image.Source->Read(image.Source->Context, uint32_t(offset), length, into);
}

uint16_t Word(const uint8_t* at) { return uint16_t(at[0] | at[1] << 8); }

uint32_t Dword(const uint8_t* at)
{
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

// The file offset of `length` bytes at `rva`, all within one section's raw
// data and within the file; false when no section holds them whole.
bool FileOffset(const TImage& image, uint32_t rva, uint32_t length, uint32_t* offset)
{
    for (uint32_t i = 0; i < image.SectionCount; ++i) {
        const uint8_t* section = image.Sections + i * kSectionSize;
        uint32_t address = Dword(section + 12);
        uint32_t raw = Dword(section + 16);
        uint32_t pointer = Dword(section + 20);
        if (rva < address || rva - address >= raw)
            continue;
        uint64_t start = uint64_t(pointer) + (rva - address);
        if (uint64_t(rva - address) + length > raw || !Inside(image, start, length))
            return false;
        *offset = uint32_t(start);
        return true;
    }
    return false;
}

// The kExport bit of the zero-terminated name at `rva`, 0 for any other
// name. Only as many bytes are looked at as the longest contract name
// needs, and none past the file's end.
uint32_t ContractBit(const TImage& image, uint32_t rva)
{
    static const struct {
        const char* Name;
        uint32_t Bit;
    } kNames[] = {
        {"GetName", kExportGetName},
        {"GetDescription", kExportGetDescription},
        {"Init", kExportInit},
        {"Execute", kExportExecute},
        {"ExecWinVer", kExportExecWinVer},
    };
    uint32_t offset;
    if (!FileOffset(image, rva, 1, &offset))
        return 0;
    uint8_t text[kNameRead];
    uint32_t available = image.Size - offset < kNameRead ? image.Size - offset : kNameRead;
    if (!Fetch(image, offset, available, text))
        return 0;
    for (const auto& entry : kNames) {
        uint32_t i = 0;
        while (i < available && entry.Name[i] && uint8_t(entry.Name[i]) == text[i])
            ++i;
        if (!entry.Name[i] && i < available && text[i] == 0)
            return entry.Bit;
    }
    return 0;
}

// Whether the function of the name at `index` is its library's own code:
// its ordinal leads to a function, and not to an RVA inside the export
// directory (`rva`, `length`), which is a forwarder to another library that
// loading would load too.
bool OwnFunction(const TImage& image, uint32_t ordinalTable, uint32_t index, uint32_t functions,
                 uint32_t functionCount, uint32_t rva, uint32_t length)
{
    uint8_t bytes[4];
    if (!Fetch(image, ordinalTable + uint64_t(index) * 2, 2, bytes))
        return false;
    uint32_t ordinal = Word(bytes);
    uint64_t slot = functions + uint64_t(ordinal) * 4;
    uint32_t entry;
    if (ordinal >= functionCount || slot > 0xFFFFFFFFu ||
        !FileOffset(image, uint32_t(slot), 4, &entry) || !Fetch(image, entry, 4, bytes))
        return false;
    uint32_t code = Dword(bytes);
    bool forwarded = code >= rva && uint64_t(code) - rva < length;
    return code != 0 && !forwarded;
}

// Reads the export directory at `rva` (`length` bytes by the data
// directory).
bool ReadExportDirectory(const TImage& image, uint32_t rva, uint32_t length, TPeExports* out)
{
    uint32_t directory;
    uint8_t at[kExportDirectorySize];
    if (!FileOffset(image, rva, kExportDirectorySize, &directory) ||
        !Fetch(image, directory, kExportDirectorySize, at))
        return false;
    uint32_t functionCount = Dword(at + 20);
    uint32_t nameCount = Dword(at + 24);
    uint32_t functions = Dword(at + 28);
    uint32_t names = Dword(at + 32);
    uint32_t ordinals = Dword(at + 36);
    if (nameCount == 0)
        return true;
    // Both tables must be there whole; their size bounds the loop below by
    // the file's.
    uint32_t nameTable, ordinalTable;
    if (nameCount > image.Size / 4 || !FileOffset(image, names, nameCount * 4, &nameTable) ||
        !FileOffset(image, ordinals, nameCount * 2, &ordinalTable))
        return false;
    out->NameCount = nameCount;
    uint8_t chunk[kNameChunk * 4];
    for (uint32_t i = 0; i < nameCount; ++i) {
        uint32_t inChunk = i % kNameChunk;
        if (inChunk == 0) {
            uint32_t count = nameCount - i < kNameChunk ? nameCount - i : kNameChunk;
            if (!Fetch(image, nameTable + uint64_t(i) * 4, count * 4, chunk))
                return false;
        }
        uint32_t bit = ContractBit(image, Dword(chunk + 4 * inChunk));
        if (!bit || (out->Contract & bit))
            continue;
        if (OwnFunction(image, ordinalTable, i, functions, functionCount, rva, length))
            out->Contract |= bit;
        if (out->Contract == kContractExports)
            break;
    }
    return true;
}

bool ReadHeaders(TImage* image, TPeExports* out)
{
    uint8_t dos[kDosSize];
    if (!Fetch(*image, 0, kDosSize, dos) || dos[0] != 'M' || dos[1] != 'Z')
        return false;
    uint32_t pe = Dword(dos + kDosNewHeader);
    uint8_t signature[4 + kFileHeaderSize];
    if (!Fetch(*image, pe, sizeof signature, signature) || Dword(signature) != 0x00004550)
        return false;
    const uint8_t* header = signature + 4;
    out->Machine = Word(header);
    uint32_t sectionCount = Word(header + 2);
    uint32_t optionalSize = Word(header + 16);
    uint64_t optional = uint64_t(pe) + 4 + kFileHeaderSize;
    if (!Inside(*image, optional, optionalSize) || optionalSize < 2)
        return false;
    uint8_t at[kOptionalRead] = {};
    if (!Fetch(*image, optional, optionalSize < kOptionalRead ? optionalSize : kOptionalRead, at))
        return false;
    // Where the data directories begin differs between the two layouts; a
    // layout that does not belong to the machine is no image for it.
    uint32_t countAt, directoriesAt;
    uint16_t magic = Word(at);
    if (magic == kMagicPe32 && out->Machine == kMachineI386) {
        countAt = 92;
        directoriesAt = 96;
    } else if (magic == kMagicPe32Plus && out->Machine == kMachineAmd64) {
        countAt = 108;
        directoriesAt = 112;
    } else {
        return false;
    }
    uint64_t sections = optional + optionalSize;
    if (sectionCount > kMaxSections ||
        !Fetch(*image, sections, sectionCount * kSectionSize, image->Sections))
        return false;
    image->SectionCount = sectionCount;
    // A section whose bytes the file does not hold whole is a cut copy,
    // which the system's loader refuses too.
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint8_t* section = image->Sections + i * kSectionSize;
        if (!Inside(*image, Dword(section + 20), Dword(section + 16)))
            return false;
    }
    // No room for the first directory, or none declared: no exports.
    if (optionalSize < directoriesAt + 8 || Dword(at + countAt) == 0)
        return true;
    uint32_t exportRva = Dword(at + directoriesAt);
    uint32_t exportSize = Dword(at + directoriesAt + 4);
    if (exportRva == 0 && exportSize == 0)
        return true;
    return ReadExportDirectory(*image, exportRva, exportSize, out);
}

struct TMemory {
    const uint8_t* Bytes;
};

bool ReadMemory(void* context, uint32_t offset, uint32_t length, uint8_t* into)
{
    const uint8_t* from = static_cast<TMemory*>(context)->Bytes + offset;
    for (uint32_t i = 0; i < length; ++i)
        into[i] = from[i];
    return true;
}

} // namespace

bool ReadPeExports(const TPeSource& source, TPeExports* out)
{
    out->Machine = 0;
    out->Contract = 0;
    out->NameCount = 0;
    TImage image;
    image.Source = &source;
    image.Size = source.Size;
    image.SectionCount = 0;
    if (ReadHeaders(&image, out))
        return true;
    // A refused file names nothing.
    out->Contract = 0;
    out->NameCount = 0;
    return false;
}

bool ReadPeExports(const uint8_t* file, uint32_t size, TPeExports* out)
{
    TMemory memory = {file};
    TPeSource source = {file ? size : 0, ReadMemory, &memory};
    return ReadPeExports(source, out);
}

bool IsModuleImage(const TPeSource& source, uint16_t machine)
{
    TPeExports exports;
    return ReadPeExports(source, &exports) && exports.Machine == machine &&
           (exports.Contract & kListedExports) == kListedExports;
}

bool IsModuleImage(const uint8_t* file, uint32_t size, uint16_t machine)
{
    TMemory memory = {file};
    TPeSource source = {file ? size : 0, ReadMemory, &memory};
    return IsModuleImage(source, machine);
}
