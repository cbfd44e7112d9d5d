// The object archive of the ".mc" file: little-endian values, length-prefixed strings, counts,
// and objects tagged by class name with back references, in the framework's byte layout.
#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Geometry.h"
#include "platform/Serializable.h"

// A load that found bytes it cannot accept; names the offset, what was found and what was expected.
class CArchiveError : public std::runtime_error {
public:
    CArchiveError(std::size_t offset, const std::string& message);
};

class CArchive {
public:
    // Stores into an in-memory buffer.
    CArchive();
    // Loads from bytes; objects are created through the registry, which must outlive the archive.
    CArchive(std::span<const std::uint8_t> bytes, const CClassRegistry& registry);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_storing; }

    const std::vector<std::uint8_t>& GetBuffer() const { return m_out; }
    std::size_t GetPosition() const { return m_storing ? m_out.size() : m_pos; }
    std::size_t Remaining() const { return m_in.size() - m_pos; }

    // Primitive values, little-endian.
    void WriteUInt8(std::uint8_t v);
    void WriteUInt16(std::uint16_t v);
    void WriteUInt32(std::uint32_t v);
    void WriteInt32(std::int32_t v) { WriteUInt32(static_cast<std::uint32_t>(v)); }
    void WriteDouble(double v);
    std::uint8_t ReadUInt8();
    std::uint16_t ReadUInt16();
    std::uint32_t ReadUInt32();
    std::int32_t ReadInt32() { return static_cast<std::int32_t>(ReadUInt32()); }
    double ReadDouble();

    // A UTF-8 text, stored as Windows-1252 bytes when it fits, else in the UTF-16 marked form.
    void WriteString(const std::string& text);
    std::string ReadString();

    // An element count: 16 bits below 0xFFFF, else 0xFFFF and 32 bits.
    void WriteCount(std::uint32_t count);
    // Refuses a count whose elements could not fit in the bytes left, each taking at least
    // minBytesPerElement.
    std::uint32_t ReadCount(std::size_t minBytesPerElement);

    // Stores a pointer: null, a new class with its record, a known class, or a back reference.
    void WriteObject(const CSerializable* object);
    // Stores an object that no later pointer can refer to (a value made only for storing): it takes
    // its place in the table, but its address is not remembered.
    void WriteTransientObject(const CSerializable& object);

    // Reads a pointer whose object, when not null, must be of class `expected`. A new object is
    // owned by the archive until TakeOwnership; a back reference gives the earlier object again.
    struct LoadedObject {
        CSerializable* object = nullptr;
        bool isNew = false;
    };
    LoadedObject ReadObject(const CClassInfo& expected);
    // Hands a loaded object to its owner; throws when it was already handed out (referenced twice).
    std::unique_ptr<CSerializable> TakeOwnership(CSerializable* object, std::size_t offset);

    // Both directions through one field list, so storing and loading cannot drift apart.
    void Io(std::int32_t& v) { m_storing ? WriteInt32(v) : void(v = ReadInt32()); }
    void Io(std::uint32_t& v) { m_storing ? WriteUInt32(v) : void(v = ReadUInt32()); }
    void Io(double& v) { m_storing ? WriteDouble(v) : void(v = ReadDouble()); }
    void Io(std::string& v) { m_storing ? WriteString(v) : void(v = ReadString()); }
    void Io(CPoint& p) { Io(p.x), Io(p.y); }
    void Io(CSize& s) { Io(s.cx), Io(s.cy); }
    template <typename... T>
        requires(sizeof...(T) > 1)
    void Io(T&... fields) { (Io(fields), ...); }

    // Flags, each stored as 1 when it is 1 and -1 otherwise; read back as 1 only from 1, else 0.
    template <std::integral... T>
    void IoFlag(T&... flags)
    {
        auto io = [this](auto& flag) {
            m_storing ? WriteInt32(flag == 1 ? 1 : -1) : void(flag = ReadInt32() == 1 ? 1 : 0);
        };
        (io(flags), ...);
    }

    // Doubles read that were NaN or infinite, for the loader to report.
    std::size_t NonFiniteCount() const { return m_nonFinite; }

    // Raises a load error at the current position.
    [[noreturn]] void Fail(const std::string& message) const;

private:
    void Need(std::size_t bytes, const char* what);
    void WriteTag(std::uint32_t index, bool isClass);
    void WriteClassOf(const CSerializable& object);

    enum class EntryKind { Null, Class, Object };
    struct Entry {
        EntryKind kind;
        const CClassInfo* cls;
        CSerializable* object;
    };

    bool m_storing;
    std::vector<std::uint8_t> m_out;
    std::span<const std::uint8_t> m_in;
    std::size_t m_pos = 0;
    std::size_t m_nonFinite = 0;
    const CClassRegistry* m_registry = nullptr;

    // Storing: index of each class and object already written (indices count from 1).
    std::unordered_map<const void*, std::uint32_t> m_storeMap;
    std::uint32_t m_mapCount = 1;
    // Loading: the table of classes and objects in order of first appearance, entry 0 is null.
    std::vector<Entry> m_loadTable;
    std::unordered_map<CSerializable*, std::unique_ptr<CSerializable>> m_owned;
};
