#include "model/KorvaneDoc.h"

#include <algorithm>
#include <tuple>
#include <unordered_set>

#include "model/UDouble.h"
#include "platform/Archive.h"
#include "platform/Files.h"

const CClassRegistry& ModelClassRegistry()
{
    static const CClassRegistry registry = [] {
        CClassRegistry r;
        for (const CClassInfo* info :
             {&CLine::ClassInfo(), &CCircuitBreaker::ClassInfo(), &CFuse::ClassInfo(), &CRecloser::ClassInfo(),
              &CIsolator::ClassInfo(), &CBusBar::ClassInfo(), &CLoadPoint::ClassInfo(), &CGenSource::ClassInfo(),
              &CEquipment::ClassInfo(), &CTransformer::ClassInfo(), &CUDouble::ClassInfo()})
            r.Register(*info);
        return r;
    }();
    return registry;
}

CKorvaneDoc::CKorvaneDoc()
    : m_pLines(std::make_unique<CLineCollection>()),
      m_pCircuitBreakers(std::make_unique<CCircuitBreakerCollection>()),
      m_pFuses(std::make_unique<CFuseCollection>()),
      m_pReclosers(std::make_unique<CRecloserCollection>()),
      m_pIsolators(std::make_unique<CIsolatorCollection>()),
      m_pBusBars(std::make_unique<CBusBarCollection>()),
      m_pLoadPoints(std::make_unique<CLoadPointCollection>()),
      m_pGenSources(std::make_unique<CGenSourceCollection>()),
      m_pEquipments(std::make_unique<CEquipmentCollection>()),
      m_pTransformers(std::make_unique<CTransformerCollection>()),
      m_pSimulationSettings(std::make_unique<CSimulationSettings>())
{
    m_collections = {m_pLines.get(),      m_pCircuitBreakers.get(), m_pFuses.get(),       m_pReclosers.get(),
                     m_pIsolators.get(),  m_pBusBars.get(),         m_pLoadPoints.get(),  m_pGenSources.get(),
                     m_pEquipments.get(), m_pTransformers.get()};
}

CKorvaneDoc::~CKorvaneDoc()
{
    for (CCollectionBase* c : m_collections)
        c->DeleteAll();
}

bool CKorvaneDoc::OnNewDocument()
{
    m_workspace.m_sizeDoc = CSize(m_workspace.m_nWorkspaceWidth, m_workspace.m_nWorkspaceHeight);
    return true;
}

void CKorvaneDoc::SerializeRecords(CArchive& ar)
{
    CWorkspaceOptions& w = m_workspace;
    CAnalyticalSettings& a = m_analytical;
    ar.Io(w.m_sizeDoc, w.m_nWorkspaceWidth, w.m_nWorkspaceHeight, m_results.m_monteCarloResultPath);
    for (const LoadClass file : {kAgriculturalData, kIndustrialData, kOtherData, kResidentialData, kIntervalData})
        ar.Io(a.m_dataFiles[file]);
    ar.Io(a.m_nFaultCount);
    ar.IoFlag(a.m_bEnableClustering, w.m_nRedrawMode, w.m_bAdaptiveDrawing, w.m_bShowEndPoints, w.m_bCreateDirectory,
              a.m_bMinimumCutSet, a.m_nLoadSheddingMethod);
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<std::uint32_t>(m_widgetOrder.size()));
        for (const std::string& name : m_widgetOrder)
            ar.WriteString(name);
    } else {
        // Each name takes at least its one-byte length. The list grows as names are read: a count
        // alone must not reserve many times the file's size.
        const std::uint32_t names = ar.ReadCount(1);
        m_widgetOrder.reserve(std::min<std::uint32_t>(names, 4096));
        for (std::uint32_t i = 0; i < names; ++i)
            m_widgetOrder.push_back(ar.ReadString());
    }
    for (CCollectionBase* c : m_collections)
        c->Serialize(ar);
    m_pSimulationSettings->Serialize(ar);
    // Bytes after the settings record are ignored, as other writers may leave some.
}

void CKorvaneDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeRecords(ar);
        return;
    }
    CKorvaneDoc loaded;
    loaded.SerializeRecords(ar);
    loaded.RepairWidgetOrder();
    if (const std::size_t bad = ar.NonFiniteCount(); bad > 0)
        loaded.m_loadWarnings.push_back(std::to_string(bad) +
                                        (bad == 1 ? " value in the file is" : " values in the file are") +
                                        " not a finite number (NaN or infinite); check the datasheets.");
    TakeNetworkFrom(loaded);
    ++m_revision;
}

void CKorvaneDoc::RepairWidgetOrder()
{
    std::array<int, kWidgetTypeCount> seen{};
    std::vector<std::string> repaired;
    repaired.reserve(m_widgetOrder.size());
    int dropped = 0;
    for (std::string& name : m_widgetOrder) {
        const int type = WidgetTypeFromName(name);
        if (type < 0 || seen[type] >= m_collections[type]->GetSize()) {
            ++dropped;
            continue;
        }
        ++seen[type];
        repaired.push_back(std::move(name));
    }
    int appended = 0;
    for (int type = 0; type < kWidgetTypeCount; ++type)
        for (; seen[type] < m_collections[type]->GetSize(); ++seen[type], ++appended)
            repaired.push_back(WidgetTypeName(static_cast<WidgetType>(type)));
    m_widgetOrder = std::move(repaired);
    if (dropped > 0 || appended > 0)
        m_loadWarnings.push_back("The drawing order did not match the widgets and was repaired: " +
                                 std::to_string(dropped) + " surplus entries dropped, " + std::to_string(appended) +
                                 " missing entries appended.");
}

auto CKorvaneDoc::NetworkMembers()
{
    return std::tie(m_workspace, m_widgetOrder, m_pLines, m_pCircuitBreakers, m_pFuses, m_pReclosers, m_pIsolators,
                    m_pBusBars, m_pLoadPoints, m_pGenSources, m_pEquipments, m_pTransformers, m_collections,
                    m_pSimulationSettings, m_analytical, m_loadData, m_results, m_loadWarnings);
}

void CKorvaneDoc::TakeNetworkFrom(CKorvaneDoc& other)
{
    auto mine = NetworkMembers();
    auto theirs = other.NetworkMembers();
    mine.swap(theirs);
}

void CKorvaneDoc::OpenFile(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> bytes = korvane::ReadFileBytes(path);
    try {
        CArchive ar(bytes, ModelClassRegistry());
        Serialize(ar);
    } catch (const CArchiveError& e) {
        throw korvane::FileError("\"" + path.string() + "\" is not a valid network file: " + e.what());
    }
}

void CKorvaneDoc::SaveFile(const std::filesystem::path& path) const
{
    CArchive ar;
    // Storing only reads the document.
    const_cast<CKorvaneDoc*>(this)->Serialize(ar);
    korvane::WriteFileAtomically(path, ar.GetBuffer());
}

void CKorvaneDoc::SetMonteCarloResultPath(const void* sender, const std::string& path)
{
    m_results.m_monteCarloResultPath = path;
    UpdateAllViews(sender, &path);
}

void CKorvaneDoc::UpdateViewsWithText(const void* sender, const std::string& text)
{
    UpdateAllViews(sender, &text);
}

void CKorvaneDoc::RemoveWidgetName(const std::string& name, int n)
{
    int count = 0;
    for (auto it = m_widgetOrder.begin(); it != m_widgetOrder.end(); ++it) {
        if (*it != name)
            continue;
        if (count == n) {
            m_widgetOrder.erase(it);
            ++m_revision;
            return;
        }
        ++count;
    }
}

CCollectionBase& CKorvaneDoc::GetCollection(WidgetType type) const
{
    return *m_collections[static_cast<int>(type)];
}

std::vector<CWidget*> CKorvaneDoc::GetWidgetsInOrder(const std::array<int, kWidgetTypeCount>* limits) const
{
    std::array<int, kWidgetTypeCount> next{};
    std::vector<CWidget*> widgets;
    widgets.reserve(m_widgetOrder.size());
    for (const std::string& name : m_widgetOrder) {
        const int type = WidgetTypeFromName(name);
        // The list is kept in step with the collections; a stray name is skipped, not trusted.
        if (type < 0 || next[type] >= m_collections[type]->GetSize() ||
            (limits != nullptr && next[type] >= (*limits)[type]))
            continue;
        widgets.push_back(m_collections[type]->GetWidgetAt(next[type]++));
    }
    return widgets;
}

bool CKorvaneDoc::Contains(const CWidget* widget) const
{
    // Addresses only: the pointer may be stale and must not be dereferenced.
    if (widget == nullptr)
        return false;
    for (const CCollectionBase* collection : m_collections)
        if (collection->FindWidget(widget) >= 0)
            return true;
    return false;
}

CWidget* CKorvaneDoc::FindWidget(std::uint64_t serial) const
{
    for (CWidget* w : GetWidgetsInOrder())
        if (w->GetSerial() == serial)
            return w;
    return nullptr;
}

CWidget* CKorvaneDoc::AddWidget(std::unique_ptr<CWidget> widget)
{
    if (widget == nullptr)
        return nullptr;
    const WidgetType type = widget->GetType();
    CCollectionBase& collection = GetCollection(type);
    CWidget* added = collection.AddWidget(widget);
    if (added == nullptr)
        return nullptr;
    try {
        m_widgetOrder.push_back(WidgetTypeName(type));
    } catch (...) {
        // A widget without its name would be drawn, numbered and stored by no one.
        collection.RemoveWidgetAt(collection.GetSize() - 1);
        throw;
    }
    ++m_added;
    return added;
}

std::unique_ptr<CWidget> CKorvaneDoc::RemoveWidget(const CWidget* widget)
{
    if (widget == nullptr)
        return nullptr;
    CCollectionBase& collection = GetCollection(widget->GetType());
    const int index = collection.FindWidget(widget);
    if (index < 0)
        return nullptr;
    RemoveWidgetName(WidgetTypeName(widget->GetType()), index);
    ++m_revision;
    return collection.RemoveWidgetAt(index);
}

std::vector<std::unique_ptr<CWidget>> CKorvaneDoc::RemoveWidgets(const std::vector<const CWidget*>& widgets)
{
    // Addresses only, as in Contains: a pointer that the document does not hold may be stale.
    const std::unordered_set<const CWidget*> wanted(widgets.begin(), widgets.end());
    std::array<std::vector<bool>, kWidgetTypeCount> marked;
    std::size_t count = 0;
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        const CCollectionBase& collection = *m_collections[t];
        marked[t].resize(static_cast<std::size_t>(collection.GetSize()));
        for (int i = 0; i < collection.GetSize(); ++i)
            if (wanted.count(collection.GetWidgetAt(i)) > 0) {
                marked[t][static_cast<std::size_t>(i)] = true;
                ++count;
            }
    }
    std::vector<std::unique_ptr<CWidget>> removed;
    if (count == 0)
        return removed;
    removed.reserve(count);
    // From here on nothing allocates. The k-th name of a type stands for element k, so the names
    // of the marked elements go: what one removal after another leaves, a widget's name at a time.
    std::array<std::size_t, kWidgetTypeCount> seen{};
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_widgetOrder.size(); ++i) {
        const int type = WidgetTypeFromName(m_widgetOrder[i]);
        if (type >= 0) {
            const std::size_t k = seen[type]++;
            if (k < marked[type].size() && marked[type][k])
                continue;
        }
        if (kept != i)
            m_widgetOrder[kept] = std::move(m_widgetOrder[i]);
        ++kept;
    }
    m_widgetOrder.erase(m_widgetOrder.begin() + static_cast<std::ptrdiff_t>(kept), m_widgetOrder.end());
    for (int t = 0; t < kWidgetTypeCount; ++t)
        m_collections[t]->RemoveMarked(marked[t], removed);
    ++m_revision;
    return removed;
}

int CKorvaneDoc::GetWidgetCount() const
{
    int count = 0;
    for (CCollectionBase* c : m_collections)
        count += c->GetSize();
    return count;
}

void CKorvaneDoc::AddObserver(IDocumentObserver* observer)
{
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CKorvaneDoc::RemoveObserver(IDocumentObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void CKorvaneDoc::UpdateAllViews(const void* sender, const std::string* hint)
{
    // A copy: an observer may remove itself while being told.
    const std::vector<IDocumentObserver*> observers = m_observers;
    for (IDocumentObserver* o : observers)
        if (o != sender)
            o->OnDocumentUpdate(sender, hint);
}
