// The per-user settings store, with the semantics of the Windows registry's
// HKEY_CURRENT_USER tree: keys named by paths of "\"-separated parts
// (compared without regard to letter case), each holding typed values.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tintorel {

// Value types, numbered as the registry numbers them.
enum RegType : std::uint32_t {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegMultiSz = 7,
    RegQword = 11,
};

struct RegValue {
    std::uint32_t type = RegNone;
    std::vector<std::uint8_t> data;

    bool operator==(const RegValue&) const = default;
};

// An open key. Closing is destroying.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    virtual bool ValueExists(const std::string& name) = 0;
    // The value's type and data; nothing when it is missing or cannot be read.
    virtual std::optional<RegValue> QueryValue(const std::string& name) = 0;
    // Replaces any value of that name, whatever its type. False when the
    // store refused the write.
    virtual bool SetValue(const std::string& name, const RegValue& value) = 0;
};

class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    // Opens the key at `path` below HKEY_CURRENT_USER for reading and
    // writing, creating it and every missing key on the way. Nothing when
    // the store cannot be reached or changed.
    virtual std::unique_ptr<RegistryKey> CreateKey(const std::string& path) = 0;

    // Groups the accesses between the two calls (nested pairs count as one):
    // the store may answer reads from one reading of its contents and keep
    // the writes, to store them together when the outermost group ends,
    // each saved completely or not at all. Stores without such grouping
    // keep these empty.
    virtual void BeginBatch() {}
    virtual void EndBatch() {}
};

} // namespace tintorel
