// The document: one network with its widget collections, widget-order list, workspace options,
// analytical settings, result paths and Monte Carlo settings, and its ".mc" file.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/Collections.h"
#include "model/DocumentRecords.h"
#include "model/SimulationSettings.h"
#include "platform/Geometry.h"

class CArchive;
class CClassRegistry;

// Told of document changes; the shell's views implement it. `hint`, when not null, is the text
// the change carries (a result path or a load point's anchor).
class IDocumentObserver {
public:
    virtual ~IDocumentObserver() = default;
    virtual void OnDocumentUpdate(const void* sender, const std::string* hint) = 0;
};

// The classes a ".mc" file may hold.
const CClassRegistry& ModelClassRegistry();

class CKorvaneDoc {
public:
    CWorkspaceOptions m_workspace;
    // One type name per widget in creation order; the k-th occurrence of a name stands for
    // element k of that type's collection.
    std::vector<std::string> m_widgetOrder;

    std::unique_ptr<CLineCollection> m_pLines;
    std::unique_ptr<CCircuitBreakerCollection> m_pCircuitBreakers;
    std::unique_ptr<CFuseCollection> m_pFuses;
    std::unique_ptr<CRecloserCollection> m_pReclosers;
    std::unique_ptr<CIsolatorCollection> m_pIsolators;
    std::unique_ptr<CBusBarCollection> m_pBusBars;
    std::unique_ptr<CLoadPointCollection> m_pLoadPoints;
    std::unique_ptr<CGenSourceCollection> m_pGenSources;
    std::unique_ptr<CEquipmentCollection> m_pEquipments;
    std::unique_ptr<CTransformerCollection> m_pTransformers;
    std::unique_ptr<CSimulationSettings> m_pSimulationSettings;

    CAnalyticalSettings m_analytical;
    LoadClassArray<std::vector<double>> m_loadData;  // read from the files the settings name; not stored
    CResultPaths m_results;

    CKorvaneDoc();
    ~CKorvaneDoc();
    CKorvaneDoc(const CKorvaneDoc&) = delete;
    CKorvaneDoc& operator=(const CKorvaneDoc&) = delete;

    // A new network: the drawing takes the workspace size.
    bool OnNewDocument();

    // Stores the document, or loads it: a load reads into a fresh document and replaces this
    // one's network only when the whole file was accepted, else throws CArchiveError and leaves
    // this document as it was. The widget-order list is repaired to match the collections.
    void Serialize(CArchive& ar);

    // Loads a ".mc" file, or stores to one (through a temporary file, so a failed save keeps the
    // old file). Errors throw korvane::FileError naming the file.
    void OpenFile(const std::filesystem::path& path);
    void SaveFile(const std::filesystem::path& path) const;
    // What the last load repaired or found doubtful, for the user.
    const std::vector<std::string>& GetLoadWarnings() const { return m_loadWarnings; }

    void SetMonteCarloResultPath(const void* sender, const std::string& path);
    void UpdateViewsWithText(const void* sender, const std::string& text);
    std::string GetMonteCarloResultPath() const { return m_results.m_monteCarloResultPath; }
    // Removes the n-th occurrence (from 0) of the name from the widget-order list, if there is one.
    void RemoveWidgetName(const std::string& name, int n);

    // The collection of a widget type.
    CCollectionBase& GetCollection(WidgetType type) const;
    // Every widget in widget-order list order; with `limits`, no more of a type than its limit
    // (the sizes a caller took earlier: widgets added since are left out).
    std::vector<CWidget*> GetWidgetsInOrder(const std::array<int, kWidgetTypeCount>* limits = nullptr) const;
    // Whether the widget belongs to this document (stale references are harmless).
    bool Contains(const CWidget* widget) const;
    // The widget of that serial, or null when the document holds none.
    CWidget* FindWidget(std::uint64_t serial) const;
    // Adds a widget to its collection and its name to the widget-order list. When memory runs out
    // it throws std::bad_alloc with the widget deleted and both lists as they were.
    CWidget* AddWidget(std::unique_ptr<CWidget> widget);
    // Takes a widget out of its collection and the widget-order list; null when it is not here.
    std::unique_ptr<CWidget> RemoveWidget(const CWidget* widget);
    // Takes every listed widget that the document holds out at once, in time linear in the
    // drawing, leaving both lists as removing them one by one does; the others are ignored. When
    // memory runs out it throws std::bad_alloc with the document unchanged.
    std::vector<std::unique_ptr<CWidget>> RemoveWidgets(const std::vector<const CWidget*>& widgets);
    int GetWidgetCount() const;
    // What is kept about the widgets elsewhere (the view's index of where they lie) follows
    // these. The revision changes whenever a widget is removed or a load replaces the network;
    // while it stays, the widgets added since (counted here) are the last of their collections,
    // and their names the last of the widget-order list.
    std::uint64_t GetRevision() const { return m_revision; }
    std::uint64_t GetAddedCount() const { return m_added; }

    void SetModifiedFlag(bool modified = true) { m_modified = modified; }
    bool IsModified() const { return m_modified; }
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }

    void AddObserver(IDocumentObserver* observer);
    void RemoveObserver(IDocumentObserver* observer);
    void UpdateAllViews(const void* sender, const std::string* hint = nullptr);

private:
    // Storing and loading both walk this one list of the file's fields, in file order.
    void SerializeRecords(CArchive& ar);
    // Every member a load replaces.
    auto NetworkMembers();
    void TakeNetworkFrom(CKorvaneDoc& other);
    void RepairWidgetOrder();

    std::array<CCollectionBase*, kWidgetTypeCount> m_collections{};
    std::vector<std::string> m_loadWarnings;
    std::vector<IDocumentObserver*> m_observers;
    std::string m_title;
    bool m_modified = false;
    std::uint64_t m_revision = 0;
    std::uint64_t m_added = 0;
};
