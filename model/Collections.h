// The ten widget collections: each owns its widgets in creation order; the index of a widget is
// its place among the widgets of its class, which the document's widget-order list relies on.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "model/BusBar.h"
#include "model/CircuitBreaker.h"
#include "model/Equipment.h"
#include "model/Fuse.h"
#include "model/GenSource.h"
#include "model/Isolator.h"
#include "model/Line.h"
#include "model/LoadPoint.h"
#include "model/Recloser.h"
#include "model/Transformer.h"
#include "platform/Archive.h"

// What the document needs of any collection, whatever its element class.
class CCollectionBase {
public:
    virtual ~CCollectionBase() = default;
    virtual WidgetType GetType() const = 0;
    virtual int GetSize() const = 0;
    virtual CWidget* GetWidgetAt(int index) const = 0;
    // Index of the widget, or -1 when it is not in this collection.
    virtual int FindWidget(const CWidget* widget) const = 0;
    // Takes a widget of this collection's class (else returns null and leaves it to the caller).
    // When memory runs out it throws std::bad_alloc, the widget deleted and the collection unchanged.
    virtual CWidget* AddWidget(std::unique_ptr<CWidget>& widget) = 0;
    // Removes the entry without deleting the widget, which goes to the caller.
    virtual std::unique_ptr<CWidget> RemoveWidgetAt(int index) = 0;
    // Removes the entries of the marked indices in one pass, the others keeping their order, and
    // appends their widgets to `removed`, which must have room for them: nothing here allocates.
    virtual void RemoveMarked(const std::vector<bool>& marked, std::vector<std::unique_ptr<CWidget>>& removed) = 0;
    virtual void DeleteAll() = 0;
    // The array as the file holds it: the count, then each widget as an object.
    virtual void Serialize(CArchive& ar) = 0;
};

template <typename T, WidgetType Type>
class TWidgetCollection : public CCollectionBase {
public:
    T* Add(std::unique_ptr<T> widget)
    {
        m_array.push_back(std::move(widget));
        return m_array.back().get();
    }
    std::unique_ptr<T> RemoveAt(int index)
    {
        auto widget = std::move(m_array.at(static_cast<std::size_t>(index)));
        m_array.erase(m_array.begin() + index);
        return widget;
    }
    void DeleteAll() override { m_array.clear(); }
    T* GetAt(int index) const { return m_array.at(static_cast<std::size_t>(index)).get(); }
    int GetSize() const override { return static_cast<int>(m_array.size()); }
    int Find(const CWidget* widget) const
    {
        for (std::size_t i = 0; i < m_array.size(); ++i)
            if (m_array[i].get() == widget)
                return static_cast<int>(i);
        return -1;
    }

    WidgetType GetType() const override { return Type; }
    CWidget* GetWidgetAt(int index) const override { return GetAt(index); }
    int FindWidget(const CWidget* widget) const override { return Find(widget); }
    CWidget* AddWidget(std::unique_ptr<CWidget>& widget) override
    {
        if (widget == nullptr || widget->GetType() != Type)
            return nullptr;
        return Add(std::unique_ptr<T>(static_cast<T*>(widget.release())));
    }
    std::unique_ptr<CWidget> RemoveWidgetAt(int index) override { return RemoveAt(index); }
    void RemoveMarked(const std::vector<bool>& marked, std::vector<std::unique_ptr<CWidget>>& removed) override
    {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_array.size(); ++i) {
            if (i < marked.size() && marked[i])
                removed.push_back(std::move(m_array[i]));
            else
                m_array[kept++] = std::move(m_array[i]);
        }
        m_array.erase(m_array.begin() + static_cast<std::ptrdiff_t>(kept), m_array.end());
    }

    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar.WriteCount(static_cast<std::uint32_t>(m_array.size()));
            for (const auto& widget : m_array)
                ar.WriteObject(widget.get());
            return;
        }
        const std::uint32_t count = ar.ReadCount(2);
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t offset = ar.GetPosition();
            const auto loaded = ar.ReadObject(T::ClassInfo());
            if (loaded.object == nullptr)
                throw CArchiveError(offset, std::string("a null entry in the list of ") + T::ClassInfo().name);
            auto owned = ar.TakeOwnership(loaded.object, offset);
            m_array.push_back(std::unique_ptr<T>(static_cast<T*>(owned.release())));
        }
    }

    auto begin() const { return m_array.begin(); }
    auto end() const { return m_array.end(); }

private:
    std::vector<std::unique_ptr<T>> m_array;
};

class CLineCollection : public TWidgetCollection<CLine, WidgetType::Line> {};
class CCircuitBreakerCollection : public TWidgetCollection<CCircuitBreaker, WidgetType::CircuitBreaker> {};
class CFuseCollection : public TWidgetCollection<CFuse, WidgetType::Fuse> {};
class CRecloserCollection : public TWidgetCollection<CRecloser, WidgetType::Recloser> {};
class CIsolatorCollection : public TWidgetCollection<CIsolator, WidgetType::Isolator> {};
class CBusBarCollection : public TWidgetCollection<CBusBar, WidgetType::BusBar> {};
class CLoadPointCollection : public TWidgetCollection<CLoadPoint, WidgetType::LoadPoint> {};
class CGenSourceCollection : public TWidgetCollection<CGenSource, WidgetType::GenSource> {};
class CEquipmentCollection : public TWidgetCollection<CEquipment, WidgetType::Equipment> {};
class CTransformerCollection : public TWidgetCollection<CTransformer, WidgetType::Transformer> {};

// Widgets listed by a generator's connection check; they belong to the document, never to the list.
class CWidgetCollection {
public:
    void Add(CWidget* widget) { m_widgets.push_back(widget); }
    CWidget* GetAt(int index) const { return m_widgets.at(static_cast<std::size_t>(index)); }
    int GetSize() const { return static_cast<int>(m_widgets.size()); }

private:
    std::vector<CWidget*> m_widgets;
};
