// Base of every object the archive stores by class name, and the registry that recreates them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

class CArchive;
class CSerializable;

// Run-time class record: the name stored in the archive, the schema, and how to make one.
struct CClassInfo {
    std::string name;
    std::uint16_t schema = 1;
    std::function<std::unique_ptr<CSerializable>()> create;
};

class CSerializable {
public:
    virtual ~CSerializable() = default;

    // The class record this object is stored under. Every concrete stored class overrides it.
    virtual const CClassInfo& GetRuntimeClass() const = 0;

    // Stores or loads the object's own record, by the archive's direction. The base stores nothing.
    virtual void Serialize(CArchive&) {}
};

// Classes that loading may create, by name. Lookups are exact and case-sensitive.
class CClassRegistry {
public:
    void Register(const CClassInfo& info) { m_classes[info.name] = &info; }
    const CClassInfo* Find(const std::string& name) const
    {
        auto it = m_classes.find(name);
        return it == m_classes.end() ? nullptr : it->second;
    }

private:
    std::map<std::string, const CClassInfo*> m_classes;
};

// Defines the class record of a concrete serializable class T with a default constructor.
#define KORVANE_DECLARE_SERIAL(T)                                   \
public:                                                             \
    static const CClassInfo& ClassInfo();                           \
    const CClassInfo& GetRuntimeClass() const override { return ClassInfo(); }

#define KORVANE_IMPLEMENT_SERIAL(T, schemaNumber)                                              \
    const CClassInfo& T::ClassInfo()                                                           \
    {                                                                                          \
        static const CClassInfo info{#T, schemaNumber,                                         \
                                     [] { return std::unique_ptr<CSerializable>(new T()); }};  \
        return info;                                                                           \
    }
